// The keyboard callback as the user drives it: the value each key leaves behind, the status line, the
// full-clear request, the host calls and the preferences file.

#include "app/KeyboardControls.h"
#include "render/InputState.h"
#include "support/Bytes.h"
#include "support/GlTestFixture.h"
#include "ui/DialogStack.h"

#include <climits>
#include <string>
#include <tuple>
#include <vector>

namespace {

using namespace gltest;
using namespace support;
using S = SettingsStore;

class KeyboardControlsTest : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        LetterboxPhase = 0;
    }
    // A key pressed while a full clear is pending and no message is on the line.
    static std::string Press(unsigned char key) {
        View.ClearFrames = 1;
        StatusLine.Text[0] = '\0';
        OnKeyboard(key, 0, 0);
        return StatusLine.Text;
    }
};

TEST_F(KeyboardControlsTest, EachKeyChangesItsValueAndConfirmsIt) {
    S& s = Settings;
    const struct {
        unsigned char Key;
        int* Int;
        float* Float;
        double Start, Expected;
        int ClearAfter;
        const char* Message;
    } rows[] = {
        {' ', &s.ScreenClear, nullptr, 1, 0, 0, ""},
        {'(', nullptr, &s.LightRotateSpeed, 1, 0.9, 0, "Light Rotate Speed: 0.90"},
        {')', nullptr, &s.LightRotateSpeed, 1, 1.111111, 0, "Light Rotate Speed: 1.11"},
        {'-', nullptr, &s.RotateSpeed, 1, 0.9, 0, "Rotate Speed: 0.90"},
        {'=', nullptr, &s.RotateSpeed, 2, 2 * 1.111111, 0, "Rotate Speed: 2.22"},
        {'_', nullptr, &s.MoveSpeed, 1, 0.9, 0, "Movement Speed: 0.90"},
        {'+', nullptr, &s.MoveSpeed, 1, 1.111111, 0, "Movement Speed: 1.11"},
        {'[', nullptr, &s.ObjectSize, 0.7f, 0.7f * 0.95, 0, "Object Size: 0.66"},
        {']', nullptr, &s.ObjectSize, 0.7f, 0.7f * 1.055555, 0, "Object Size: 0.74"},
        {'{', nullptr, &s.CameraZ, 0.1f, 0.1f - 0.05, 0, "CameraZ: 0.05"},
        {'}', nullptr, &s.CameraZ, 0.1f, 0.1f + 0.05, 0, "CameraZ: 0.15"},
        {'/', &HelpShown, nullptr, 0, 1, 0, ""},
        {'?', &HelpShown, nullptr, 1, 0, 1, ""}, // the closed help screen is cleared away
        {'C', &s.FpsClock, nullptr, 0, 1, 0, "Frame/Second Clock On"},
        {'c', &s.FpsClock, nullptr, 1, 0, 0, "Frame/Second Clock Off"},
        {'D', &s.DepthCueFog, nullptr, 0, 1, 0, "DepthCue Fog On"},
        {'d', &s.DepthCueFog, nullptr, 1, 0, 0, "DepthCue Fog Off"},
        {'I', &s.ImageOptionIndex, nullptr, -1, 0, 0, "No Image Options"},
        {'i', &s.ImageOptionIndex, nullptr, 4, 0, 0, "No Image Options"},
        {'O', &s.OptionIndex, nullptr, -1, 0, 0, "No Options"},
        {'o', &s.OptionIndex, nullptr, 2, 0, 0, "No Options"},
        {'P', &Paused, nullptr, 0, 1, 0, "Pause"},
        {'p', &Paused, nullptr, 1, 0, 0, "Continue"},
        {'S', &s.SpotLights, nullptr, 1, 0, 0, "SpotLights Off"},
        {'s', &s.SpotLights, nullptr, 0, 1, 0, "SpotLights On"},
        {'T', &s.Textures, nullptr, 1, 0, 0, "Textures Off"},
        {'t', &s.Textures, nullptr, 0, 1, 0, "Textures On"},
        {'U', &s.Universe, nullptr, 1, 0, 0, "Universe Off"},
        {'u', &s.Universe, nullptr, 0, 1, 0, "Universe On"},
        {'W', &s.PolygonMode, nullptr, 0, 1, 0, ""},
        {'W', &s.PolygonMode, nullptr, 2, 0, 0, ""},
        {'w', &s.PolygonMode, nullptr, INT_MAX, 0, 0, ""}, // a damaged mode starts over at filled
        {'1', &GlobeCount, nullptr, 3, 1, 0, "# Globes: 1"},
        {'2', &GlobeCount, nullptr, 1, 2, 0, "# Globes: 2"},
        {'3', &GlobeCount, nullptr, 1, 3, 0, "# Globes: 3"},
        {'b', &BlendFunc0, nullptr, 2, 3, 0, "b: 3"},
        {'b', &BlendFunc0, nullptr, 8, 0, 0, "b: 0"},
        {'B', &BlendFunc1, nullptr, 1, 2, 0, "B: 2"},
        {'B', &BlendFunc1, nullptr, 7, 0, 0, "B: 0"},
        {'n', &ValueN, nullptr, 2, 0, 0, "n: 0"},
        {'n', &s.SavedN, nullptr, 2, 0, 0, "n: 0"},
        {'N', &ValueN2, nullptr, 3, 0, 0, "n2: 0"},
        {'N', &s.SavedN2, nullptr, 3, 0, 0, "n2: 0"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(testing::Message() << "key " << r.Key << " from " << r.Start);
        Settings = SettingsStore();
        HelpShown = Paused = 0;
        if (r.Int)
            *r.Int = int(r.Start);
        else
            *r.Float = float(r.Start);
        const std::string message = Press(r.Key);
        EXPECT_EQ(r.Int ? double(*r.Int) : double(*r.Float), r.Int ? r.Expected : double(float(r.Expected)));
        EXPECT_EQ(std::make_tuple(message, View.ClearFrames, Keys.LastKey),
                  std::make_tuple(std::string(r.Message), r.ClearAfter, int(r.Key)));
    }
}

TEST_F(KeyboardControlsTest, FieldOfViewAndTesselationStayWithinTheirBounds) {
    const struct {
        unsigned char Key;
        float Start, Fov;
        int SettingsFov;
        const char* Message;
    } fovRows[] = {
        {',', 178.0f, 179.0f, 179, "FOV: 179 Degrees"},
        {',', 179.0f, 179.0f, 179, "FOV: 179 Degrees"},
        {',', 5000.0f, 179.0f, 179, "FOV: 179 Degrees"},
        {',', 100.5f, 101.5f, 101, "FOV: 102 Degrees"},
        {'.', 2.0f, 1.0f, 1, "FOV:   1 Degrees"},
        {'.', 1.0f, 1.0f, 1, "FOV:   1 Degrees"},
        {'.', -300.0f, 1.0f, 1, "FOV:   1 Degrees"},
        {'.', 10.7f, 10.7f - 1.0f, 9, "FOV:  10 Degrees"}, // truncated toward zero, rounded in the text
        {'.', 3e9f, 3e9f, INT_MAX, "FOV: 3000000000 Degrees"},
    };
    for (const auto& r : fovRows) {
        SCOPED_TRACE(testing::Message() << "key " << r.Key << " from " << r.Start);
        MainCamera.Fov = r.Start;
        const std::string message = Press(r.Key);
        EXPECT_EQ(std::make_tuple(MainCamera.Fov, Settings.Fov, message),
                  std::make_tuple(r.Fov, r.SettingsFov, std::string(r.Message)));
    }

    const struct {
        unsigned char Key;
        int Start, Expected;
    } tesselationRows[] = {{'<', 11, 10}, {'<', 10, 10}, {'<', 5, 10},   {'<', INT_MIN, 10}, {'<', 500, 499},
                           {'>', 79, 80}, {'>', 80, 80}, {'>', 500, 80}, {'>', INT_MAX, 80}, {'>', 40, 41}};
    for (const auto& r : tesselationRows) {
        Settings.Tesselation = r.Start;
        EXPECT_EQ(Press(r.Key), "Tesselation: " + std::to_string(r.Expected)) << r.Key << " from " << r.Start;
        EXPECT_EQ(Settings.Tesselation, r.Expected);
    }
}

TEST_F(KeyboardControlsTest, LetterboxBouncesBetweenZeroAndSix) {
    int press = 0;
    for (int expected : {1, 2, 3, 4, 5, 6, 5, 4, 3, 2, 1, 0, 1}) {
        EXPECT_EQ(Press(press++ % 2 ? 'l' : 'L'), "Letterbox: " + std::to_string(expected));
        EXPECT_EQ(std::make_tuple(Settings.Letterbox, View.ClearFrames), std::make_tuple(expected, 1));
    }
    // A step set elsewhere restarts the bounce from there; a damaged one from the nearest end.
    const struct {
        int Phase, Letterbox, Expected;
    } rows[] = {{0, 4, 5}, {2, 6, 5}, {-3, 3, 2}, {4, 0, 1}, {0, 99, 5}, {1, INT_MAX, 5}, {0, INT_MIN, 4}};
    for (const auto& r : rows) {
        LetterboxPhase = r.Phase, Settings.Letterbox = r.Letterbox;
        Press('L');
        EXPECT_EQ(Settings.Letterbox, r.Expected) << "phase " << r.Phase << ", letterbox " << r.Letterbox;
    }
}

TEST_F(KeyboardControlsTest, CameraModeAndMenuKeys) {
    const struct {
        int Start, Mode, Moved;
        const char* Message;
    } modes[] = {{2, 0, 0, "Camera 0: Auto"},
                 {0, 1, 1, "Camera 1: Manual Mouse/Arrow Key Control"},
                 {1, 2, 1, "Camera 2: Hold"},
                 {INT_MAX, 2, 1, "Camera 2: Hold"},
                 {-4, 0, 0, "Camera 0: Auto"}};
    Settings.FullScreen = 0; // the pointer shows as an arrow over an automatic windowed view
    for (const auto& m : modes) {
        Settings.CameraMode = m.Start, Mouse.Moved = 0;
        const std::string message = Press('v');
        EXPECT_EQ(std::make_tuple(Settings.CameraMode, Mouse.Moved, message, Fake.Cursor),
                  std::make_tuple(m.Mode, m.Moved, std::string(m.Message),
                                  int(m.Mode == 0 ? CursorLeftArrow : CursorNone)));
    }

    Settings.FullScreen = 1;
    auto menu = [this] {
        return std::make_tuple(MenuShown, Dialogs.TargetVisibility, Settings.CameraMode, HelpShown,
                               View.ClearFrames, Fake.Cursor);
    };
    for (const auto& [mode, openMode] : {std::pair{1, 2}, std::pair{2, 2}, std::pair{0, 0}}) {
        Settings.CameraMode = mode, HelpShown = 1;
        Press('`');
        EXPECT_EQ(menu(), std::make_tuple(1, 1.0f, openMode, 0, 1, int(CursorLeftArrow))) << "mode " << mode;
        EXPECT_EQ(Dialogs.SavedCameraMode, mode);
        Press('`');
        EXPECT_EQ(menu(), std::make_tuple(0, 0.0f, mode, 0, 0, int(CursorNone))) << "mode " << mode;
    }

    // Help over an open menu closes it and the info screen, and leaves the camera under manual control.
    Settings.CameraMode = 0;
    Press('`');
    InfoShown = 1;
    Press('?');
    EXPECT_EQ(menu(), std::make_tuple(0, 0.0f, 1, 1, 0, int(CursorNone)));
    EXPECT_EQ(InfoShown, 0);
    Press('/');
    EXPECT_EQ(menu(), std::make_tuple(0, 0.0f, 1, 0, 1, int(CursorNone)));
}

TEST_F(KeyboardControlsTest, WindowResetQuitAndControlCodes) {
    auto window = [this] {
        return std::make_tuple(Settings.FullScreen, Fake.Reshapes.size(), Fake.FullScreenCalls,
                               View.ClearFrames, Fake.Cursor);
    };
    Settings.CameraMode = 0; // the automatic view shows the pointer in a window
    Press('f');
    EXPECT_EQ(window(), std::make_tuple(0, size_t(1), 0, 0, int(CursorLeftArrow)));
    EXPECT_EQ(std::make_tuple(Fake.Reshapes[0].X, Fake.Reshapes[0].Y), std::make_tuple(600, 600));
    Press('F');
    EXPECT_EQ(window(), std::make_tuple(1, size_t(1), 1, 1, int(CursorNone)));

    // A reset brings back every default without the file, and keeps the letterbox key's phase.
    Settings.ObjectSize = 2.0f;
    ASSERT_EQ(Press('!'), "Saved Prefs");
    GlobeCount = 3, BlendFunc0 = 5, MenuShown = 1, Settings.CameraMode = 1, MainCamera.Fov = 40.0f;
    LetterboxPhase = Settings.Letterbox = 3;
    testing::internal::CaptureStdout();
    EXPECT_EQ(Press('r'), "Reset w/o Prefs");
    testing::internal::GetCapturedStdout();
    const Bytes reset = RecordBytes(Settings);
    Settings = SettingsStore();
    Settings.CameraMode = 0;
    EXPECT_EQ(reset, RecordBytes(Settings));
    EXPECT_EQ(
        std::make_tuple(GlobeCount, BlendFunc0, MenuShown, MainCamera.Fov, LetterboxPhase, View.ClearFrames),
        std::make_tuple(1, 2, 0, 110.0f, 3, 1));

    // The first press starts the two-second fade-out, a second one cuts it to one frame.
    Clock.Now = 2.5f;
    for (unsigned char key : {'\033', 'Q', 'q'}) {
        ExitStartTime = 0.0f, ExitState = 0, HelpShown = 1;
        Fake.Waves.clear();
        Press(key);
        EXPECT_EQ(std::make_tuple(ExitStartTime, ExitState, HelpShown, Fake.Waves),
                  std::make_tuple(2.5f, 1, 0, std::vector<std::string>{"hit.wav"}))
            << int(key);
        Press(key);
        EXPECT_EQ(std::make_tuple(ExitStartTime, Fake.Waves.size()), std::make_tuple(-2.5f, size_t(1)));
    }
    ExitStartTime = 0.0f, ExitState = 0;

    // Ctrl with a letter arrives as a control code and changes nothing but the pending clear.
    Fake.ModifierState = ModifierCtrl;
    auto live = [] {
        return std::make_tuple(RecordBytes(Settings), MainCamera.Fov, GlobeCount, BlendFunc0, BlendFunc1,
                               Paused, MenuShown, HelpShown, InfoShown, ExitState, LetterboxPhase);
    };
    const auto before = live();
    for (int code = 1; code <= 26; ++code) {
        EXPECT_EQ(Press(static_cast<unsigned char>(code)), "") << code;
        EXPECT_EQ(std::make_tuple(View.ClearFrames, Keys.LastKey, Keys.Ctrl), std::make_tuple(0, code, 2));
        EXPECT_TRUE(live() == before) << code;
    }
}

TEST_F(KeyboardControlsTest, SaveAndLoadPreferences) {
    Settings.CameraMode = 1;
    ASSERT_EQ(Press('!'), "Saved Prefs");
    const Bytes saved = RecordBytes(Settings);
    EXPECT_EQ(ReadFile("Tovi.pref"), saved);

    // Loading brings back every stored value but the camera mode, and places the pointer again.
    Press(']');
    Press(',');
    Settings.CameraMode = 2, Fake.Cursor = -1;
    EXPECT_EQ(Press('@'), "Loaded Prefs");
    EXPECT_EQ(
        std::make_tuple(Settings.ObjectSize, Settings.Fov, MainCamera.Fov, Settings.CameraMode, Fake.Cursor),
        std::make_tuple(0.7f, 110, 110.0f, 2, int(CursorNone)));

    // Without a file nothing changes; the camera still snaps to the stored whole degrees.
    std::filesystem::remove("Tovi.pref");
    Settings.ObjectSize = 1.5f;
    MainCamera.Fov = 120.5f, Settings.Fov = 120, Fake.Cursor = -1, Fake.Warps.clear();
    const Bytes before = RecordBytes(Settings);
    EXPECT_EQ(Press('@'), "Could NOT Load Prefs");
    EXPECT_EQ(RecordBytes(Settings), before);
    EXPECT_EQ(std::make_tuple(MainCamera.Fov, Fake.Cursor, Fake.Warps.size()),
              std::make_tuple(120.0f, -1, size_t(0)));

    std::filesystem::create_directory("Tovi.pref");
    EXPECT_EQ(Press('!'), "Could NOT Save Prefs");
}

} // namespace
