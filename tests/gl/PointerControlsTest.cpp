// The arrow keys, the mouse and the menu toggles as the user drives them: the input state they leave for
// the camera, and the menu with its camera mode and cursor. The other special keys are in the key table of
// KeyboardControlsTest.

#include "support/GlTestFixture.h"

namespace {

using namespace gltest;
using namespace support;
using PointerControlsTest = ProgramTest;

// Arrow keys and buttons as a user presses them, with the end of each frame in between.
TEST_F(PointerControlsTest, ArrowsAndButtonsAreHeldAsTheCameraReadsThem) {
    enum Event { Special, SpecialUp, PlainKey, Click, Release, EndFrame };
    using K = KeyboardState;
    const struct {
        Event What;
        int Code, Modifiers, Arrows, Left, Middle;
    } steps[] = {
        {Special, KeyLeft, 0, K::ArrowLeft, 0, 0},
        {Special, KeyRight, 0, K::ArrowLeft | K::ArrowRight, 0, 0},
        {Special, KeyDown, ModifierCtrl, K::ArrowLeft | K::ArrowRight | K::ArrowDown, 0, 0},
        {SpecialUp, KeyLeft, 0, K::ArrowRight | K::ArrowDown, 0, 0},
        {SpecialUp, KeyDown, 0, K::ArrowRight, 0, 0}, // Ctrl as at the last press
        {Special, KeyUp, 0, K::ArrowRight | K::ArrowForward, 0, 0},
        {SpecialUp, KeyRight, 0, K::ArrowForward, 0, 0},
        // A key pressed with Ctrl before Up's release makes the release clear the rise: forward stays.
        {PlainKey, 'a', ModifierCtrl, K::ArrowForward, 0, 0},
        {SpecialUp, KeyUp, 0, K::ArrowForward, 0, 0},
        {Special, KeyDown, 0, K::ArrowForward | K::ArrowBack, 0, 0},
        {Click, ButtonLeft, 0, K::ArrowForward | K::ArrowBack, 1, 0},
        {EndFrame, 0, 0, K::ArrowForward | K::ArrowBack, 2, 0},
        {Release, ButtonLeft, 0, K::ArrowForward | K::ArrowBack, 3, 0},
        {Click, ButtonMiddle, 0, K::ArrowForward | K::ArrowBack, 3, 1},
        {Release, ButtonMiddle, 0, K::ArrowForward | K::ArrowBack, 3, 1}, // released in its press's frame
        {Click, 3, 0, K::ArrowForward | K::ArrowBack, 3, 1},              // the wheel is no button
        {EndFrame, 0, 0, K::ArrowForward | K::ArrowBack, 0, 2},
        {Release, ButtonMiddle, 0, K::ArrowForward | K::ArrowBack, 0, 3},
        {EndFrame, 0, 0, K::ArrowForward | K::ArrowBack, 0, 0},
    };
    Settings.CameraMode = 1;
    for (const auto& s : steps) {
        Fake.ModifierState = s.Modifiers;
        if (s.What == Special || s.What == SpecialUp)
            (s.What == Special ? OnSpecial : OnSpecialUp)(s.Code, 0, 0);
        else if (s.What == PlainKey)
            OnKeyboard(static_cast<unsigned char>(s.Code), 0, 0);
        else if (s.What == EndFrame)
            Mouse.EndFrame();
        else
            OnMouse(s.Code, s.What == Click ? ButtonDown : ButtonUp, 0, 0);
        EXPECT_EQ(std::make_tuple(Keys.Arrows, Mouse.LeftButton, Mouse.MiddleButton),
                  std::make_tuple(s.Arrows, s.Left, s.Middle))
            << "step " << &s - steps;
    }
    Fake.ModifierState = ModifierAlt | ModifierShift;
    OnSpecial(KeyPageUp, 0, 0);
    EXPECT_EQ(std::make_tuple(Keys.Alt, Keys.Ctrl, Keys.Shift), std::make_tuple(4, 0, 1));

    // The pointer from the bottom in the automatic and held views, from the warp point in the manual one;
    // a click moves it too.
    const struct {
        int Mode, X, Y, PointerX, PointerY;
    } moves[] = {{0, 10, 0, 10, 479}, {2, 20, 470, 20, 9}, {1, 330, 230, 10, -10}};
    for (const auto& m : moves) {
        Settings.CameraMode = m.Mode;
        Mouse.Moved = 0;
        if (m.Mode == 2)
            OnMouse(ButtonMiddle, ButtonUp, m.X, m.Y);
        else
            OnMotion(m.X, m.Y);
        EXPECT_EQ(std::make_tuple(Mouse.PointerX, Mouse.PointerY, Mouse.Moved),
                  std::make_tuple(m.PointerX, m.PointerY, 1));
    }
}

// The grave-accent key and the right button open and close the menu alike, but for where they ask for a
// full clear and that the button's own click reaches no widget.
TEST_F(PointerControlsTest, KeyAndRightButtonToggleTheMenuAndGiveTheCameraModeBack) {
    const struct {
        bool Button;
        int Mode, FullScreen, OpenMode, ClosedCursor;
    } rows[] = {{false, 1, 1, 2, CursorNone},
                {false, 0, 0, 0, CursorLeftArrow},
                {true, 2, 1, 2, CursorNone},
                {true, 0, 0, 0, CursorLeftArrow}};
    auto toggle = [](bool button) {
        if (button)
            OnMouse(ButtonRight, ButtonDown, 0, 0);
        else
            OnKeyboard('`', 0, 0);
    };
    auto menu = [this] {
        return std::make_tuple(MenuShown, Dialogs.TargetVisibility, Settings.CameraMode, HelpShown,
                               View.ClearFrames, Fake.Cursor);
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(testing::Message() << (r.Button ? "button" : "key") << ", mode " << r.Mode);
        Mouse = MouseState();
        Settings.CameraMode = r.Mode;
        Settings.FullScreen = r.FullScreen;
        HelpShown = 1;
        View.ClearFrames = 0;
        OnMouse(ButtonLeft, ButtonDown, 0, 0);
        toggle(r.Button);
        EXPECT_EQ(menu(), std::make_tuple(1, 1.0f, r.OpenMode, 0, int(!r.Button), int(CursorLeftArrow)));
        EXPECT_EQ(std::make_tuple(Dialogs.SavedCameraMode, Mouse.LeftButton),
                  std::make_tuple(r.Mode, r.Button ? 0 : 1));
        OnMouse(ButtonRight, ButtonUp, 0, 0);
        Mouse.EndFrame();
        View.ClearFrames = 0;
        toggle(r.Button);
        EXPECT_EQ(menu(), std::make_tuple(0, 0.0f, r.Mode, 0, int(r.Button), r.ClosedCursor));
        // A right press opens it again, unless it comes in the frame of the closing click's release.
        Mouse.EndFrame();
        OnMouse(ButtonRight, ButtonUp, 0, 0);
        OnMouse(ButtonRight, ButtonDown, 0, 0);
        EXPECT_EQ(MenuShown, int(!r.Button));
        MenuShown = 0;
    }

    // Help over an open menu closes it and the info screen and leaves the camera under manual control.
    Settings.CameraMode = 0;
    Press('`');
    InfoShown = 1;
    Press('?');
    EXPECT_EQ(menu(), std::make_tuple(0, 0.0f, 1, 1, 0, int(CursorNone)));
    EXPECT_EQ(InfoShown, 0);
    Press('/');
    EXPECT_EQ(std::make_tuple(HelpShown, View.ClearFrames), std::make_tuple(0, 1));
}

} // namespace
