// The keyboard, the mouse and the menu toggles as the user drives them: the value each key leaves behind (and
// no other), its message on the status line, the full clear it asks for, the window, reset, quit and the
// preferences file; the arrow keys and buttons held for the camera; the menu with its camera mode and cursor.

#include "support/GlTestFixture.h"

#include <filesystem>
#include <type_traits>
#include <variant>

namespace {

using namespace gltest;
using namespace support;
using S = SettingsStore;
using KeyboardControlsTest = ProgramTest;

// A value a key changes: an int or a float of the settings or of the live values beside them.
using Value = std::variant<int*, float*>;
void Set(Value value, double v) {
    std::visit([v](auto* field) { *field = std::remove_pointer_t<decltype(field)>(v); }, value);
}

// What the keys may change: the settings record and the live values beside it.
auto KeyState() {
    return std::make_tuple(RecordBytes(Settings), Paused, GlobeCount, BlendFunc0, BlendFunc1, ValueN, ValueN2,
                           MainCamera.Fov, Mouse.Moved, ExitState, HelpShown, MenuShown, LetterboxPhase);
}

// Every key that steps a value, from a start to what it must leave: its value, one other it changes too
// and nothing else, with its message. Each row starts from the defaults with FogEnd at 2 and fog on.
TEST_F(KeyboardControlsTest, EachKeyChangesItsValuesAndNoOtherAndConfirmsIt) {
    S& s = Settings;
    const struct {
        int Key;
        Value Changed;
        double Start, Expected;
        const char* Message;
        Value Also = &ValueN; // stays 2 unless named
        double AlsoStart = 2.0, AlsoExpected = 2.0;
    } rows[] = {
        {' ', &s.ScreenClear, 1, 0, ""},
        {'(', &s.LightRotateSpeed, 1, 0.9, "Light Rotate Speed: 0.90"},
        {')', &s.LightRotateSpeed, 2, 2 * 1.111111, "Light Rotate Speed: 2.22"},
        {'-', &s.RotateSpeed, 2, 2 * 0.9, "Rotate Speed: 1.80"},
        {'=', &s.RotateSpeed, 1, 1.111111, "Rotate Speed: 1.11"},
        {'_', &s.MoveSpeed, 3, 3 * 0.9, "Movement Speed: 2.70"},
        {'+', &s.MoveSpeed, 3, 3 * 1.111111, "Movement Speed: 3.33"},
        {'[', &s.ObjectSize, 2, 2 * 0.95, "Object Size: 1.90"},
        {']', &s.ObjectSize, 2, 2 * 1.055555, "Object Size: 2.11"},
        {'{', &s.CameraZ, 0.5, 0.5 - 0.05, "CameraZ: 0.45"},
        {'}', &s.CameraZ, 0.5, 0.5 + 0.05, "CameraZ: 0.55"},
        {',', &MainCamera.Fov, 300, 179, "FOV: 179 Degrees", &s.Fov, 110, 179},
        {'.', &MainCamera.Fov, 10.75, 9.75, "FOV:  10 Degrees", &s.Fov, 110, 9}, // whole degrees stored
        {'<', &s.Tesselation, 10, 10, "Tesselation: 10"},
        {'<', &s.Tesselation, 500, 499, "Tesselation: 499"},
        {'>', &s.Tesselation, 80, 80, "Tesselation: 80"},
        {'C', &s.FpsClock, 0, 1, "Frame/Second Clock On"},
        {'d', &s.DepthCueFog, 1, 0, "DepthCue Fog Off"},
        {'S', &s.SpotLights, 1, 0, "SpotLights Off"},
        {'t', &s.Textures, 0, 1, "Textures On"},
        {'U', &s.Universe, 1, 0, "Universe Off"},
        {'p', &Paused, 1, 0, "Continue"},
        {'V', &s.CameraMode, 2, 0, "Camera 0: Auto", &Mouse.Moved},
        {'v', &s.CameraMode, 0, 1, "Camera 1: Manual Mouse/Arrow Key Control", &Mouse.Moved, 0, 1},
        {'V', &s.CameraMode, 1, 2, "Camera 2: Hold", &Mouse.Moved, 0, 1},
        {'W', &s.PolygonMode, 0, 1, ""},
        {'w', &s.PolygonMode, 2, 0, ""},
        {'1', &GlobeCount, 3, 1, "# Globes: 1"},
        {'3', &GlobeCount, 1, 3, "# Globes: 3"},
        {'b', &BlendFunc0, 2, 3, "b: 3"},
        {'b', &BlendFunc0, 8, 0, "b: 0"},
        {'B', &BlendFunc1, 1, 2, "B: 2"},
        {'B', &BlendFunc1, 7, 0, "B: 0"},
        {'n', &ValueN, 2, 0, "n: 0", &s.SavedN, 2, 0},
        {'N', &ValueN2, 3, 0, "n2: 0", &s.SavedN2, 3, 0},
        {Special + KeyF1, &s.MotionDamping, 2, 2 * 0.9, "F1/F2: 1.80"},
        {Special + KeyF2, &s.MotionDamping, 1, 1.111111, "F1/F2: 1.11"},
        {Special + KeyF3, &s.TextureMagnification, 3, 3 * 0.9, "F3/F4: 2.70"},
        {Special + KeyF4, &s.TextureMagnification, 4, 4 * 1.111111, "F3/F4: 4.44"},
        {Special + KeyF5, &s.FogStart, 0.5, 0.5 * 0.95, "FogStart: 0.47", &s.DepthCueFog, 0, 1},
        {Special + KeyF5, &s.FogStart, 0.1, 0.1, "FogStart: 0.10"},
        // F6 and F8 never pass 30 x ObjectSize (21), F6 never lets the start pass the end, nor F7 the end
        // fall before the start.
        {Special + KeyF6, &s.FogStart, 20.5, 21, "FogStart: 21.00", &s.FogEnd, 30, 30},
        {Special + KeyF6, &s.FogStart, 1.96875, 2, "FogStart: 2.00"},
        {Special + KeyF7, &s.FogEnd, 1.03125, 1, "FogEnd: 1.00", &s.DepthCueFog, 0, 1},
        {Special + KeyF8, &s.FogEnd, 20.5, 21, "FogEnd: 21.00", &s.DepthCueFog, 0, 1},
        {Special + KeyF9, &s.BumpResponse, 5, 5 * 0.9, "F9/F10: 4.50"},
        {Special + KeyF10, &s.BumpResponse, 0.5, 0.5 * 1.111111, "F9/F10: 0.56"},
        {Special + KeyF11, &s.FadeEffect, 0.5, 0.5 * 0.95, "Fade Effect: 47.50", &s.ScreenClear, 1, 0},
        {Special + KeyF12, &s.FadeEffect, 0.96875, 1, "Fade Effect: 100.00", &s.ScreenClear, 0, 1},
        {Special + KeyPageUp, &s.MainSpeed, 2, 2 * 1.05263, "Page: 2.11"},
        {Special + KeyPageDown, &s.MainSpeed, 3, 3 * 0.95, "Page: 2.85"},
        {Special + KeyHome, &s.ArcThickness, 4, 4 * 1.05263, "Home/End: 4.21"},
        {Special + KeyEnd, &s.ArcThickness, 5, 5 * 0.95, "Home/End: 4.75"},
        {'\033', &ExitState, 0, 1, "", &HelpShown, 1, 0}, // the quit keys start the fade-out, help hidden
        {'Q', &ExitState, 0, 1, "", &HelpShown, 1, 0},
        {'q', &ExitState, 0, 1, "", &HelpShown, 1, 0},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(testing::Message() << "key " << r.Key << " from " << r.Start);
        Settings = S();
        Settings.FogEnd = 2.0f;
        Settings.DepthCueFog = 1;
        Settings.ScreenClear = r.Key != Special + KeyF12;
        ExitStartTime = 0.0f; // no exit under way
        Set(r.Changed, r.Expected);
        Set(r.Also, r.AlsoExpected);
        const auto expected = KeyState();
        Set(r.Changed, r.Start);
        Set(r.Also, r.AlsoStart);
        const bool special = r.Key >= Special;
        EXPECT_EQ(Press(r.Key), r.Message);
        EXPECT_EQ(KeyState(), expected);
        EXPECT_EQ(std::make_tuple(View.ClearFrames, special ? Keys.LastSpecialKey : Keys.LastKey),
                  std::make_tuple(int(special), r.Key % Special));
    }
    ExitState = 0;
}

// The letterbox bounces between 0 and 6, each step cleared away, and an open menu page shows it at once, as
// it shows what a special key changes.
TEST_F(KeyboardControlsTest, LetterboxBouncesBetweenZeroAndSixAndTheMenuFollows) {
    Dialogs.BuildMenu(StandardMenu, 1);
    for (int expected : {1, 2, 3, 4, 5, 6, 5, 4, 3, 2, 1, 0, 1}) {
        EXPECT_EQ(Press(expected % 2 ? 'l' : 'L'), "Letterbox: " + std::to_string(expected));
        EXPECT_EQ(std::make_tuple(Settings.Letterbox, View.ClearFrames, ShownValue(59)),
                  std::make_tuple(expected, 1, float(expected)));
    }
    Settings.MainSpeed = 2.0f;
    Press(Special + KeyPageDown);
    EXPECT_EQ(ShownValue(54), 1.9f);
}

// The first start flies by hand. Insert plays the hit at once, over the opening wind. f sets a 600 x 600
// window with the arrow cursor of the automatic camera, F full screen. ! saves the record,
// @ loads it back but keeps the camera mode and its cursor; r resets every default but the automatic camera,
// without reading the file (only start-up does), the letterbox bounce going on. Without a file @ only snaps
// the camera to the stored whole degrees.
TEST_F(KeyboardControlsTest, WindowSaveLoadResetAndControlCodes) {
    EXPECT_EQ(Settings.CameraMode, 1);
    Press(Special + KeyInsert);
    EXPECT_EQ(Fake.Waves, (std::vector<std::string>{"WIND2.wav", "hit.wav"}));
    Settings.CameraMode = 0;
    Press('f');
    EXPECT_EQ(std::make_tuple(Settings.FullScreen, Fake.Reshapes.size(), Fake.Reshapes[0].X,
                              Fake.Reshapes[0].Y, Fake.FullScreenCalls, View.ClearFrames, Fake.Cursor),
              std::make_tuple(0, size_t(1), 600, 600, 0, 0, int(CursorLeftArrow)));
    Press('F');
    EXPECT_EQ(std::make_tuple(Settings.FullScreen, Fake.FullScreenCalls, View.ClearFrames, Fake.Cursor),
              std::make_tuple(1, 1, 1, int(CursorNone)));

    Settings.ObjectSize = 1.5f;
    Settings.Fov = 80;
    Settings.CameraMode = 1;
    ASSERT_EQ(Press('!'), "Saved Prefs");
    EXPECT_EQ(ReadFile("Tovi.pref"), RecordBytes(Settings));
    Press(']');
    Press(',');
    Settings.CameraMode = 2;
    Fake.Cursor = -1;
    EXPECT_EQ(Press('@'), "Loaded Prefs");
    EXPECT_EQ(
        std::make_tuple(Settings.ObjectSize, Settings.Fov, MainCamera.Fov, Settings.CameraMode, Fake.Cursor),
        std::make_tuple(1.5f, 80, 80.0f, 2, int(CursorNone)));

    GlobeCount = 3;
    BlendFunc0 = 5;
    BlendFunc1 = 6;
    MenuShown = 1;
    LetterboxPhase = -2;
    EXPECT_EQ(ConsoleOutput([] { EXPECT_EQ(Press('r'), "Reset w/o Prefs"); }), "Init Vars...\n");
    S expected;
    expected.CameraMode = 0;
    EXPECT_EQ(RecordBytes(Settings), RecordBytes(expected));
    EXPECT_EQ(
        std::make_tuple(GlobeCount, BlendFunc0, BlendFunc1, MenuShown, Dialogs.TargetVisibility,
                        MainCamera.Fov, LetterboxPhase, MainCamera.X, MainCamera.Y, MainCamera.Z),
        std::make_tuple(1, 2, 1, 0, 0.0f, 110.0f, -2, -0.5f, 0.2f, 2.0f)); // the camera back at its start

    std::filesystem::remove("Tovi.pref");
    MainCamera.Fov = 70.5f;
    Settings.Fov = 70;
    const Bytes saved = RecordBytes(Settings);
    EXPECT_EQ(Press('@'), "Could NOT Load Prefs");
    EXPECT_EQ(std::make_tuple(RecordBytes(Settings), MainCamera.Fov), std::make_tuple(saved, 70.0f));
    std::filesystem::create_directory("Tovi.pref");
    EXPECT_EQ(Press('!'), "Could NOT Save Prefs");
}

using PointerControlsTest = ProgramTest;

// Arrow keys and buttons as a user presses them, with the end of each frame in between. A key or a button
// pressed and released between two frames (a tap) is seen pressed by one frame and released by the next.
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
        {EndFrame, 0, 0, K::ArrowLeft | K::ArrowRight | K::ArrowDown, 0, 0},
        {SpecialUp, KeyLeft, 0, K::ArrowRight | K::ArrowDown, 0, 0},
        {SpecialUp, KeyDown, 0, K::ArrowRight, 0, 0}, // Ctrl as at the last press
        {Special, KeyUp, 0, K::ArrowRight | K::ArrowForward, 0, 0},
        {EndFrame, 0, 0, K::ArrowRight | K::ArrowForward, 0, 0},
        {SpecialUp, KeyRight, 0, K::ArrowForward, 0, 0},
        // A key pressed with Ctrl before Up's release makes the release clear the rise: forward stays.
        {PlainKey, 'a', ModifierCtrl, K::ArrowForward, 0, 0},
        {SpecialUp, KeyUp, 0, K::ArrowForward, 0, 0},
        {Special, KeyDown, 0, K::ArrowForward | K::ArrowBack, 0, 0},
        {SpecialUp, KeyDown, 0, K::ArrowForward | K::ArrowBack, 0, 0}, // a tap
        {EndFrame, 0, 0, K::ArrowForward, 0, 0},
        {Click, ButtonLeft, 0, K::ArrowForward, 1, 0},
        {EndFrame, 0, 0, K::ArrowForward, 2, 0},
        {Release, ButtonLeft, 0, K::ArrowForward, 3, 0},
        {Click, ButtonMiddle, 0, K::ArrowForward, 3, 1},
        {Release, ButtonMiddle, 0, K::ArrowForward, 3, 1}, // a tap
        {Click, 3, 0, K::ArrowForward, 3, 1},              // the wheel is no button
        {EndFrame, 0, 0, K::ArrowForward, 0, 3},
        {EndFrame, 0, 0, K::ArrowForward, 0, 0},
    };
    Settings.CameraMode = 1;
    for (const auto& s : steps) {
        Fake.ModifierState = s.Modifiers;
        if (s.What == EndFrame) { // as the frame loop ends a frame
            Keys.EndFrame();
            Mouse.EndFrame();
        } else if (s.What == Special || s.What == SpecialUp) {
            (s.What == Special ? OnSpecial : OnSpecialUp)(s.Code, 0, 0);
        } else if (s.What == PlainKey) {
            OnKeyboard(static_cast<unsigned char>(s.Code), 0, 0);
        } else {
            OnMouse(s.Code, s.What == Click ? ButtonDown : ButtonUp, 0, 0);
        }
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
