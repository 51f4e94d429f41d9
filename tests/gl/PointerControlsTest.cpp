// The special-key, mouse and motion callbacks as the user drives them: the settings they change, the
// status line, the input state left for the camera, and the menu toggle with its cursor.

#include "app/PointerControls.h"
#include "render/InputState.h"
#include "support/GlTestFixture.h"
#include "ui/DialogStack.h"

#include <iterator>
#include <string>
#include <tuple>

namespace {

using namespace gltest;

using PointerControlsTest = ProgramTest;

TEST_F(PointerControlsTest, SpecialKeysStepSettingsWithinTheirBounds) {
    using S = SettingsStore;
    // Fog rows set the other end of the fog first; fade rows the trail switch, which they may flip.
    const struct {
        int Key, Presses;
        float S::*Field;
        float Start, Other;
        int ClearBefore;
        float Expected;
        int ClearAfter;
        const char* Message;
    } cases[] = {
        {KeyF1, 1, &S::MotionDamping, 2.0f, 0.0f, 1, float(2.0f * 0.9), 1, "F1/F2: 1.80"},
        {KeyF2, 1, &S::MotionDamping, 1.0f, 0.0f, 1, float(1.111111), 1, "F1/F2: 1.11"},
        {KeyF3, 1, &S::TextureMagnification, 1.0f, 0.0f, 1, float(0.9), 1, "F3/F4: 0.90"},
        {KeyF4, 1, &S::TextureMagnification, 0.3f, 0.0f, 1, float(0.3f * 1.111111), 1, "F3/F4: 0.33"},
        {KeyF5, 1, &S::FogStart, 0.2f, 1.0f, 1, float(0.2f * 0.95), 1, "FogStart: 0.19"},
        {KeyF5, 1, &S::FogStart, 0.1f, 1.0f, 1, 0.1f, 1, "FogStart: 0.10"},
        {KeyF6, 1, &S::FogStart, 20.5f, 50.0f, 1, 21.0f, 1, "FogStart: 21.00"}, // 30 x ObjectSize
        {KeyF6, 1, &S::FogStart, 1.0f, 1.0f, 1, 1.0f, 1, "FogStart: 1.00"},     // never past FogEnd
        {KeyF7, 1, &S::FogEnd, 1.0f, 1.0f, 1, 1.0f, 1, "FogEnd: 1.00"},         // never before FogStart
        {KeyF7, 1, &S::FogEnd, 0.1f, 0.05f, 1, 0.1f, 1, "FogEnd: 0.10"},
        {KeyF8, 1, &S::FogEnd, 20.5f, 1.0f, 1, 21.0f, 1, "FogEnd: 21.00"},
        {KeyF8, 1, &S::FogEnd, 1.0f, 1.0f, 1, float(1.05263), 1, "FogEnd: 1.05"},
        {KeyF9, 1, &S::BumpResponse, 1.0f, 0.0f, 1, float(0.9), 1, "F9/F10: 0.90"},
        {KeyF10, 1, &S::BumpResponse, 1.0f, 0.0f, 1, float(1.111111), 1, "F9/F10: 1.11"},
        {KeyF11, 1, &S::FadeEffect, 0.3f, 0.0f, 1, float(0.3f * 0.95), 0, "Fade Effect: 28.50"},
        {KeyF11, 1, &S::FadeEffect, 0.0f, 0.0f, 1, 0.0f, 0, "Fade Effect: 0.00"},
        {KeyF12, 1, &S::FadeEffect, 0.5f, 0.0f, 0, float(0.5 * 1.05263), 0, "Fade Effect: 52.63"},
        {KeyF12, 40, &S::FadeEffect, 0.285f, 0.0f, 0, 1.0f, 1, "Fade Effect: 100.00"},
        {KeyPageUp, 1, &S::MainSpeed, 1.0f, 0.0f, 1, float(1.05263), 1, "Page: 1.05"},
        {KeyPageDown, 1, &S::MainSpeed, 1.0f, 0.0f, 1, float(0.95), 1, "Page: 0.95"},
        {KeyHome, 1, &S::ArcThickness, 1.0f, 0.0f, 1, float(1.05263), 1, "Home/End: 1.05"},
        {KeyEnd, 1, &S::ArcThickness, 1.0f, 0.0f, 1, float(0.95), 1, "Home/End: 0.95"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "key " << c.Key << " from " << c.Start);
        Settings = SettingsStore();
        Settings.*c.Field = c.Start;
        const bool fog = c.Field == &S::FogStart || c.Field == &S::FogEnd;
        if (fog)
            (c.Field == &S::FogStart ? Settings.FogEnd : Settings.FogStart) = c.Other;
        Settings.ScreenClear = c.ClearBefore;
        for (int press = 0; press < c.Presses; ++press)
            OnSpecial(c.Key, 0, 0);
        EXPECT_EQ(std::make_tuple(Settings.*c.Field, std::string(StatusLine.Text), Settings.DepthCueFog,
                                  Settings.ScreenClear, Keys.LastSpecialKey),
                  std::make_tuple(c.Expected, std::string(c.Message), int(fog), c.ClearAfter, c.Key));
    }

    // Insert cuts off the sound playing with the hit, and writes nothing.
    StatusLine.Text[0] = '\0';
    Sound.Play("WIND2.wav", 5.0f, 1, 0);
    OnSpecial(KeyInsert, 0, 0);
    EXPECT_EQ(std::make_tuple(Fake.Waves.back(), std::string(StatusLine.Text)),
              std::make_tuple("hit.wav", ""));
}

// Arrow keys and buttons as a user presses them, with the end of each frame in between.
TEST_F(PointerControlsTest, ArrowsAndButtonsHeldAsTheCameraReadsThem) {
    enum Event { Special, SpecialUp, PlainKey, Click, EndFrame };
    using K = KeyboardState;
    const struct {
        Event What;
        int Code, State, Modifiers, Arrows, Buttons[3];
    } steps[] = {
        {Special, KeyLeft, 0, 0, K::ArrowLeft, {0, 0, 0}},
        {Special, KeyDown, 0, ModifierCtrl, K::ArrowLeft | K::ArrowDown, {0, 0, 0}},
        {SpecialUp, KeyLeft, 0, 0, K::ArrowDown, {0, 0, 0}},
        {SpecialUp, KeyDown, 0, 0, 0, {0, 0, 0}}, // Ctrl as at the last press
        // Ctrl+Up rises; a plain key pressed before the release makes that clear forward instead.
        {Special, KeyUp, 0, ModifierCtrl, K::ArrowUp, {0, 0, 0}},
        {PlainKey, 'a', 0, 0, K::ArrowUp, {0, 0, 0}},
        {SpecialUp, KeyUp, 0, ModifierCtrl, K::ArrowUp, {0, 0, 0}},
        {Special, KeyUp, 0, ModifierCtrl, K::ArrowUp, {0, 0, 0}},
        {SpecialUp, KeyUp, 0, 0, 0, {0, 0, 0}},
        {Click, ButtonLeft, ButtonDown, 0, 0, {1, 0, 0}},
        {EndFrame, 0, 0, 0, 0, {2, 0, 0}},
        {Click, ButtonLeft, ButtonUp, 0, 0, {3, 0, 0}},
        {Click, ButtonMiddle, ButtonDown, 0, 0, {3, 1, 0}},
        {Click, ButtonMiddle, ButtonUp, 0, 0, {3, 1, 0}}, // released within the frame of its press
        {Click, 3, ButtonDown, 0, 0, {3, 1, 0}},          // the wheel and unknown buttons are no clicks
        {Click, -1, ButtonDown, 0, 0, {3, 1, 0}},
        {EndFrame, 0, 0, 0, 0, {0, 2, 0}}, // the quick click counts as held until the next release
        {Click, ButtonMiddle, ButtonUp, 0, 0, {0, 3, 0}},
        {EndFrame, 0, 0, 0, 0, {0, 0, 0}},
    };
    Settings.CameraMode = 1;
    for (size_t index = 0; index < std::size(steps); ++index) {
        const auto& s = steps[index];
        Fake.ModifierState = s.Modifiers;
        if (s.What == Special)
            OnSpecial(s.Code, 0, 0);
        else if (s.What == SpecialUp)
            OnSpecialUp(s.Code, 0, 0);
        else if (s.What == PlainKey)
            Keys.KeyDown(static_cast<unsigned char>(s.Code), Host->Modifiers());
        else if (s.What == Click)
            OnMouse(s.Code, s.State, 0, 0);
        else
            Mouse.EndFrame();
        EXPECT_EQ(Keys.Arrows, s.Arrows) << "step " << index;
        EXPECT_EQ(std::make_tuple(Mouse.LeftButton, Mouse.MiddleButton, Mouse.RightButton),
                  std::make_tuple(s.Buttons[0], s.Buttons[1], s.Buttons[2]))
            << "step " << index;
    }
    Fake.ModifierState = ModifierAlt | ModifierShift;
    OnSpecial(KeyPageUp, 0, 0);
    EXPECT_EQ(std::make_tuple(Keys.Alt, Keys.Ctrl, Keys.Shift), std::make_tuple(4, 0, 1));

    // The pointer from the bottom in the automatic and hold modes, the offset from the warp point (the
    // middle of the 640 x 480 window) under manual control.
    const struct {
        int Mode, X, Y, PointerX, PointerY;
    } moves[] = {{0, 10, 0, 10, 479}, {2, 20, 479, 20, 0}, {1, 330, 230, 10, -10}};
    for (const auto& m : moves) {
        Settings.CameraMode = m.Mode;
        Mouse.Moved = 0;
        OnMotion(m.X, m.Y);
        EXPECT_EQ(std::make_tuple(Mouse.PointerX, Mouse.PointerY, Mouse.Moved),
                  std::make_tuple(m.PointerX, m.PointerY, 1));
    }
}

TEST_F(PointerControlsTest, RightButtonTogglesMenuAndRestoresCameraMode) {
    const struct {
        int Mode, FullScreen, OpenMode, ClosedCursor;
    } cases[] = {
        {1, 1, 2, CursorNone}, {2, 1, 2, CursorNone}, {0, 1, 0, CursorNone}, {0, 0, 0, CursorLeftArrow}};
    auto menu = [this] {
        return std::make_tuple(MenuShown, Dialogs.TargetVisibility, Settings.CameraMode, HelpShown,
                               View.ClearFrames, Fake.Cursor);
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "mode " << c.Mode << ", full screen " << c.FullScreen);
        Mouse = MouseState();
        Settings.CameraMode = c.Mode, Settings.FullScreen = c.FullScreen;
        HelpShown = 1, View.ClearFrames = 0;
        OnMouse(ButtonLeft, ButtonDown, 0, 0);
        OnMouse(ButtonRight, ButtonDown, 0, 0);
        EXPECT_EQ(menu(), std::make_tuple(1, 1.0f, c.OpenMode, 0, 0, int(CursorLeftArrow)));
        EXPECT_EQ(Dialogs.SavedCameraMode, c.Mode);
        EXPECT_EQ(Mouse.LeftButton + Mouse.RightButton, 0); // the opening click reaches nothing
        OnMouse(ButtonRight, ButtonUp, 0, 0);
        Mouse.EndFrame();

        Fake.Warps.clear();
        OnMouse(ButtonRight, ButtonDown, 0, 0);
        EXPECT_EQ(menu(), std::make_tuple(0, 0.0f, c.Mode, 0, 1, c.ClosedCursor));
        EXPECT_EQ(Fake.Warps.size(), c.ClosedCursor == CursorNone ? 1u : 0u);
        // The release, a wheel step or another click in the same frame does not open it again.
        OnMouse(ButtonRight, ButtonUp, 0, 0);
        OnMouse(3, ButtonDown, 0, 0);
        OnMouse(ButtonMiddle, ButtonDown, 0, 0);
        EXPECT_EQ(MenuShown, 0);
    }
}

} // namespace
