#include "app/KeyboardControls.h"

#include "app/FrameClock.h"
#include "app/Globals.h"
#include "app/Opening.h"
#include "app/ScreenView.h"
#include "app/Settings.h"
#include "app/Startup.h"
#include "platform/Platform.h"
#include "render/Camera.h"
#include "render/InputState.h"
#include "ui/DialogStack.h"
#include "ui/OverlayText.h"

#include <climits>
#include <cstdint>

namespace {

constexpr int MinTesselation = 10;
constexpr int MaxTesselation = 80;
constexpr float MinFov = 1.0f;
constexpr float MaxFov = 179.0f;

void StepAndShow(float& field, double factor, const char* format) {
    field = ScaledSetting(field, factor);
    StatusLine.ShowFormatted(format, field);
}

void ShowSwitch(int on, const char* onText, const char* offText) {
    StatusLine.Show(on ? onText : offText);
}

// Whole degrees toward zero; a field of view beyond the range of int (only a damaged file brings one)
// saturates instead of overflowing.
int WholeDegrees(float degrees) {
    if (degrees >= 2147483648.0f)
        return INT_MAX;
    if (degrees <= -2147483648.0f)
        return INT_MIN;
    return int(degrees);
}

// The camera's own float field of view is what the keys move; the settings keep its whole degrees.
void SetFov(float degrees) {
    MainCamera.Fov = degrees;
    Settings.Fov = WholeDegrees(degrees);
    StatusLine.ShowFormatted("FOV: %3.0f Degrees", MainCamera.Fov);
}

// The first press starts the shattering fade-out; a second one ends the program on the next frame. A
// covered window may still take keys with its idle handler stopped: the exit needs it to end on time.
void Quit() {
    if (ExitStartTime == 0.0f) {
        StartExit();
        HelpShown = 0;
        Host->SetIdle(true);
    } else {
        ExitStartTime = Clock.Now - 5.0f;
    }
}

} // namespace

// An open menu holds the camera still; the file keeps the mode the user flies with, which the menu gives
// back when it closes.
void SavePrefs() {
    SettingsStore saved = Settings;
    if (MenuShown)
        saved.CameraMode = Dialogs.SavedCameraMode;
    StatusLine.Show(saved.Save(ProgramName) == 0 ? "Saved Prefs" : "Could NOT Save Prefs");
}

// The file never decides the camera mode: the user keeps flying the way they were (an open menu keeps
// holding the camera).
void LoadPrefs() {
    const int cameraMode = Settings.CameraMode;
    if (Settings.Load(ProgramName) != 0) {
        StatusLine.Show("Could NOT Load Prefs");
        return;
    }
    MainCamera.Fov = float(Settings.Fov);
    Settings.CameraMode = cameraMode;
    Mouse.ApplyCursor(Settings, MenuShown);
    StatusLine.Show("Loaded Prefs");
}

namespace {

// The letterbox bounces between 0 and 6: a positive phase is on its way up, a negative one on its way
// down. A step set elsewhere (a dialog, a loaded file) restarts the bounce from there; a damaged value
// outside the range starts from the nearest end.
void StepLetterbox() {
    const int phase = LetterboxPhase < 0 ? -LetterboxPhase : LetterboxPhase;
    if (phase != Settings.Letterbox) {
        LetterboxPhase = Settings.Letterbox;
        if (LetterboxPhase > ScreenView::MaxLetterbox)
            LetterboxPhase = ScreenView::MaxLetterbox;
        else if (LetterboxPhase < 1 - ScreenView::MaxLetterbox)
            LetterboxPhase = 1 - ScreenView::MaxLetterbox;
    }
    LetterboxPhase =
        LetterboxPhase == ScreenView::MaxLetterbox ? 1 - ScreenView::MaxLetterbox : LetterboxPhase + 1;
    Settings.Letterbox = LetterboxPhase < 0 ? -LetterboxPhase : LetterboxPhase;
    View.ClearFrames = 1;
    StatusLine.ShowFormatted("Letterbox: %d", Settings.Letterbox);
}

void StepCameraMode() {
    static const char* const Names[] = {"Camera 0: Auto", "Camera 1: Manual Mouse/Arrow Key Control",
                                        "Camera 2: Hold"};
    // In 64 bits and brought into 0..2 so that a damaged mode from the file cannot overflow or go negative.
    int mode = int((int64_t(Settings.CameraMode) + 1) % 3);
    if (mode < 0)
        mode += 3;
    Settings.CameraMode = mode;
    // The new manual or held view takes the pointer as it is now rather than waiting for it to move.
    if (mode != 0)
        Mouse.Moved = 1;
    Mouse.ApplyCursor(Settings, MenuShown);
    StatusLine.Show(Names[mode]);
}

void ToggleFullScreen() {
    Settings.FullScreen = !Settings.FullScreen;
    if (Settings.FullScreen) {
        Host->FullScreen();
        View.ClearFrames = 1;
    } else {
        Host->ReshapeWindow(600, 600);
    }
    Mouse.ApplyCursor(Settings, MenuShown);
}

// The key version of the menu toggle: the camera holds still while the menu is open (an automatic view
// keeps drifting) and gets its mode back when it closes.
void ToggleMenu() {
    if (MenuShown == 0) {
        View.ClearFrames = 1;
        Dialogs.SavedCameraMode = Settings.CameraMode;
        if (Settings.CameraMode != 0)
            Settings.CameraMode = 2;
        MenuShown = 1;
        Dialogs.TargetVisibility = 1.0f;
        HelpShown = 0;
    } else {
        Settings.CameraMode = Dialogs.SavedCameraMode;
        MenuShown = 0;
        Dialogs.TargetVisibility = 0.0f;
    }
    Mouse.ApplyCursor(Settings, MenuShown);
}

// The settings keys, both cases of a letter alike.
void FirstTable(int key) {
    switch (key) {
    case 27:
    case 'Q':
    case 'q':
        Quit();
        break;
    case ' ':
        Settings.ScreenClear = !Settings.ScreenClear;
        break;
    case '!':
        SavePrefs();
        break;
    case '@':
        LoadPrefs();
        break;
    case '(':
        StepAndShow(Settings.LightRotateSpeed, 0.9, "Light Rotate Speed: %4.2f");
        break;
    case ')':
        StepAndShow(Settings.LightRotateSpeed, 1.111111, "Light Rotate Speed: %4.2f");
        break;
    case '-':
        StepAndShow(Settings.RotateSpeed, 0.9, "Rotate Speed: %4.2f");
        break;
    case '=':
        StepAndShow(Settings.RotateSpeed, 1.111111, "Rotate Speed: %4.2f");
        break;
    case '_':
        StepAndShow(Settings.MoveSpeed, 0.9, "Movement Speed: %4.2f");
        break;
    case '+':
        StepAndShow(Settings.MoveSpeed, 1.111111, "Movement Speed: %4.2f");
        break;
    case '[':
        StepAndShow(Settings.ObjectSize, 0.95, "Object Size: %4.2f");
        break;
    case ']':
        StepAndShow(Settings.ObjectSize, 1.055555, "Object Size: %4.2f");
        break;
    case '{':
        Settings.CameraZ = float(double(Settings.CameraZ) - 0.05 * SceneScale);
        StatusLine.ShowFormatted("CameraZ: %4.2f", Settings.CameraZ);
        break;
    case '}':
        Settings.CameraZ = float(double(Settings.CameraZ) + 0.05 * SceneScale);
        StatusLine.ShowFormatted("CameraZ: %4.2f", Settings.CameraZ);
        break;
    case ',':
        SetFov(MainCamera.Fov >= MaxFov ? MaxFov : MainCamera.Fov + 1.0f);
        break;
    case '.':
        SetFov(MainCamera.Fov <= MinFov ? MinFov : MainCamera.Fov - 1.0f);
        break;
    case '<': // compared before stepping, so that no value from a damaged file can overflow
        Settings.Tesselation =
            Settings.Tesselation <= MinTesselation ? MinTesselation : Settings.Tesselation - 1;
        StatusLine.ShowFormatted("Tesselation: %d", Settings.Tesselation);
        break;
    case '>':
        Settings.Tesselation =
            Settings.Tesselation >= MaxTesselation ? MaxTesselation : Settings.Tesselation + 1;
        StatusLine.ShowFormatted("Tesselation: %d", Settings.Tesselation);
        break;
    case '/':
    case '?':
        HelpShown = !HelpShown;
        if (HelpShown == 0)
            View.ClearFrames = 1;
        break;
    case 'C':
    case 'c':
        Settings.FpsClock = !Settings.FpsClock;
        ShowSwitch(Settings.FpsClock, "Frame/Second Clock On", "Frame/Second Clock Off");
        break;
    case 'D':
    case 'd':
        Settings.DepthCueFog = !Settings.DepthCueFog;
        ShowSwitch(Settings.DepthCueFog, "DepthCue Fog On", "DepthCue Fog Off");
        break;
    case 'F':
    case 'f':
        ToggleFullScreen();
        break;
    case 'I':
    case 'i':
        Settings.ImageOptionIndex = Settings.ImageOptionIndex < 0 ? Settings.ImageOptionIndex + 1 : 0;
        ShowImageOption();
        break;
    case 'L':
    case 'l':
        StepLetterbox();
        break;
    case 'O':
    case 'o':
        Settings.OptionIndex = Settings.OptionIndex < 0 ? Settings.OptionIndex + 1 : 0;
        ShowOption();
        break;
    case 'P':
    case 'p':
        Paused = !Paused;
        ShowSwitch(Paused, "Pause", "Continue");
        break;
    case 'R':
    case 'r':
        InitVars();
        View.ClearFrames = 1;
        StatusLine.Show("Reset w/o Prefs");
        break;
    case 'S':
    case 's':
        Settings.SpotLights = !Settings.SpotLights;
        ShowSwitch(Settings.SpotLights, "SpotLights On", "SpotLights Off");
        break;
    case 'T':
    case 't':
        Settings.Textures = !Settings.Textures;
        ShowSwitch(Settings.Textures, "Textures On", "Textures Off");
        break;
    case 'U':
    case 'u':
        Settings.Universe = !Settings.Universe;
        ShowSwitch(Settings.Universe, "Universe On", "Universe Off");
        break;
    case 'V':
    case 'v':
        StepCameraMode();
        break;
    case 'W':
    case 'w': // filled, lines, points; a damaged mode past points starts over at filled
        Settings.PolygonMode = Settings.PolygonMode >= 2 ? 0 : Settings.PolygonMode + 1;
        break;
    case '`':
        ToggleMenu();
        break;
    default:
        break;
    }
}

// The scene keys, case-sensitive. They run after the settings keys, so "?" first toggles the help screen
// and then clears the way for it.
void SecondTable(unsigned char key) {
    switch (key) {
    case '1':
    case '2':
    case '3':
        GlobeCount = key - '0';
        StatusLine.ShowFormatted("# Globes: %d", GlobeCount);
        break;
    case 'b':
        BlendFunc0 = BlendFunc0 >= 8 ? 0 : BlendFunc0 + 1;
        StatusLine.ShowFormatted("b: %d", BlendFunc0);
        break;
    case 'B':
        BlendFunc1 = BlendFunc1 >= 7 ? 0 : BlendFunc1 + 1;
        StatusLine.ShowFormatted("B: %d", BlendFunc1);
        break;
    case 'n':
        ValueN = 0;
        Settings.SavedN = ValueN;
        StatusLine.ShowFormatted("n: %d", ValueN);
        break;
    case 'N':
        ValueN2 = 0;
        Settings.SavedN2 = ValueN2;
        StatusLine.ShowFormatted("n2: %d", ValueN2);
        break;
    case '/':
    case '?': // the menu's saved camera mode is dropped: the user reading help flies by hand afterwards
        MenuShown = 0;
        Dialogs.TargetVisibility = 0.0f;
        InfoShown = 0;
        Settings.CameraMode = 1;
        Mouse.ApplyCursor(Settings, MenuShown);
        break;
    case '@':
        MainCamera.Fov = float(Settings.Fov);
        break;
    default:
        break;
    }
}

} // namespace

void OnKeyboard(unsigned char key, int, int) {
    // Any key cancels a pending full clear, unless its own action asks for one again.
    View.ClearFrames = 0;
    Keys.KeyDown(key, Host->Modifiers());
    FirstTable(Keys.LastKey);
    SecondTable(key);
    // An open menu shows the values the key has just changed.
    if (key != 0)
        Dialogs.BuildMenu(Dialogs.CurrentMenu, 0);
}
