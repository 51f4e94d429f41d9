#include "app/PointerControls.h"

#include "app/Globals.h"
#include "app/ScreenView.h"
#include "app/Settings.h"
#include "app/SoundPlayer.h"
#include "platform/Platform.h"
#include "render/InputState.h"
#include "ui/DialogStack.h"
#include "ui/OverlayText.h"

namespace {

void StepAndShow(float& field, double factor, const char* format) {
    field = ScaledSetting(field, factor);
    StatusLine.ShowFormatted(format, field);
}

// The farthest the fog may start or end: beyond it the scene holds nothing to fade.
float FogLimit() {
    return ScaledSetting(Settings.ObjectSize, 30.0);
}

// Every fog key switches depth-cue fog on, so that its effect can be seen at once.
void ShowFog(const char* format, float value) {
    Settings.DepthCueFog = 1;
    StatusLine.ShowFormatted(format, value);
}

// The fade is shown in per cent.
void ShowFade() {
    StatusLine.ShowFormatted("Fade Effect: %4.2f", Settings.FadeEffect * 100.0f);
}

// The mouse version of the menu toggle: the opening click reaches no widget and is not seen as held, and
// the camera holds still while the menu is open.
void ToggleMenu() {
    if (!MenuShown) {
        Dialogs.TargetVisibility = 1.0f;
        Mouse.LeftButton = Mouse.RightButton = 0;
        Dialogs.SavedCameraMode = Settings.CameraMode;
        if (Settings.CameraMode != 0)
            Settings.CameraMode = 2;
        MenuShown = 1;
        HelpShown = 0;
    } else {
        View.ClearFrames = 1;
        Settings.CameraMode = Dialogs.SavedCameraMode;
        MenuShown = 0;
        Dialogs.TargetVisibility = 0.0f;
    }
    Mouse.ApplyCursor(Settings, MenuShown);
}

} // namespace

void OnSpecial(int key, int, int) {
    Keys.SpecialDown(key, Host->Modifiers());
    switch (key) {
    case KeyF1:
        StepAndShow(Settings.MotionDamping, 0.9, "F1/F2: %4.2f");
        break;
    case KeyF2:
        StepAndShow(Settings.MotionDamping, 1.111111, "F1/F2: %4.2f");
        break;
    case KeyF3:
        StepAndShow(Settings.TextureMagnification, 0.9, "F3/F4: %4.2f");
        break;
    case KeyF4:
        StepAndShow(Settings.TextureMagnification, 1.111111, "F3/F4: %4.2f");
        break;
    case KeyF5:
        Settings.FogStart = ScaledSetting(Settings.FogStart, 0.95);
        if (Settings.FogStart < 0.1f)
            Settings.FogStart = 0.1f;
        ShowFog("FogStart: %4.2f", Settings.FogStart);
        break;
    case KeyF6: // the fog never starts behind its own end
        Settings.FogStart = ScaledSetting(Settings.FogStart, 1.05263);
        if (FogLimit() < Settings.FogStart)
            Settings.FogStart = FogLimit();
        if (Settings.FogStart > Settings.FogEnd)
            Settings.FogStart = Settings.FogEnd;
        ShowFog("FogStart: %4.2f", Settings.FogStart);
        break;
    case KeyF7: // nor ends before its start
        Settings.FogEnd = ScaledSetting(Settings.FogEnd, 0.95);
        if (Settings.FogEnd < 0.1f)
            Settings.FogEnd = 0.1f;
        if (Settings.FogEnd < Settings.FogStart)
            Settings.FogEnd = Settings.FogStart;
        ShowFog("FogEnd: %4.2f", Settings.FogEnd);
        break;
    case KeyF8:
        Settings.FogEnd = ScaledSetting(Settings.FogEnd, 1.05263);
        if (FogLimit() < Settings.FogEnd)
            Settings.FogEnd = FogLimit();
        ShowFog("FogEnd: %4.2f", Settings.FogEnd);
        break;
    case KeyF9:
        StepAndShow(Settings.BumpResponse, 0.9, "F9/F10: %4.2f");
        break;
    case KeyF10:
        StepAndShow(Settings.BumpResponse, 1.111111, "F9/F10: %4.2f");
        break;
    case KeyF11: // any fade below 1 switches the trails on
        Settings.FadeEffect = ScaledSetting(Settings.FadeEffect, 0.95);
        if (Settings.FadeEffect < 0.0f)
            Settings.FadeEffect = 0.0f;
        if (Settings.FadeEffect < 1.0f)
            Settings.ScreenClear = 0;
        ShowFade();
        break;
    case KeyF12: // and a full one switches them off
        Settings.FadeEffect = ScaledSetting(Settings.FadeEffect, 1.05263);
        if (Settings.FadeEffect >= 1.0f) {
            Settings.FadeEffect = 1.0f;
            Settings.ScreenClear = 1;
        }
        ShowFade();
        break;
    case KeyPageUp:
        StepAndShow(Settings.MainSpeed, 1.05263, "Page: %4.2f");
        break;
    case KeyPageDown:
        StepAndShow(Settings.MainSpeed, 0.95, "Page: %4.2f");
        break;
    case KeyHome:
        StepAndShow(Settings.ArcThickness, 1.05263, "Home/End: %4.2f");
        break;
    case KeyEnd:
        StepAndShow(Settings.ArcThickness, 0.95, "Home/End: %4.2f");
        break;
    case KeyInsert:
        Sound.Play("hit.wav", 1.0f, 1, 0);
        break;
    default: // the arrows are already recorded for the camera
        break;
    }
    // An open menu shows the values the key has just changed.
    if (key != 0)
        Dialogs.BuildMenu(Dialogs.CurrentMenu, 0);
}

void OnSpecialUp(int key, int, int) {
    Keys.SpecialUp(key);
}

void OnMotion(int x, int y) {
    Mouse.Motion(x, y, Settings, View);
}

void OnMouse(int button, int state, int x, int y) {
    Mouse.Motion(x, y, Settings, View);
    Mouse.Button(button, state);
    // Only the press itself toggles: a release, a wheel step or another button arriving in the same frame
    // finds the right button still at 1 after a closing click and must not open the menu again.
    if (button == ButtonRight && state == ButtonDown && Mouse.RightButton == 1)
        ToggleMenu();
}
