// What each menu row does when it is activated: the value it reported goes into the setting it stands for,
// buttons run their command, and most changes are confirmed on the status line.

#include "app/Globals.h"
#include "app/KeyboardControls.h"
#include "app/Opening.h"
#include "app/ScreenView.h"
#include "app/Settings.h"
#include "app/SoundPlayer.h"
#include "app/Startup.h"
#include "render/Camera.h"
#include "ui/DialogStack.h"
#include "ui/OverlayText.h"

namespace {

void StandardAction(int id, float v) {
    const int whole = int(v);
    switch (id) {
    case 51:
        MainCamera.Fov = v;
        Settings.Fov = whole;
        StatusLine.ShowFormatted("Fov: %4.2f", MainCamera.Fov);
        break;
    case 52:
        Settings.CameraZ = v;
        StatusLine.ShowFormatted("CameraZ: %4.2f", Settings.CameraZ);
        break;
    case 54:
        Settings.MainSpeed = v;
        StatusLine.ShowFormatted("Main Speed: %4.2f", v);
        break;
    case 55: // a full fade means no trails; the faintest ones are no trails either
        Settings.FadeEffect = v;
        Settings.ScreenClear = 0;
        if (Settings.FadeEffect >= 1.0f) {
            Settings.FadeEffect = 1.0f;
            Settings.ScreenClear = 1;
            View.ClearFrames = 1;
        } else if (Settings.FadeEffect < 0.02f) {
            Settings.FadeEffect = 0.0f;
        }
        StatusLine.ShowFormatted("Fade: %4.2f", Settings.FadeEffect);
        break;
    case 56:
        Settings.RotateSpeed = v;
        StatusLine.ShowFormatted("Rotate Speed: %4.2f", v);
        break;
    case 57:
        Settings.MoveSpeed = v;
        StatusLine.ShowFormatted("Move Speed: %4.2f", v);
        break;
    case 58:
        Settings.PolygonMode = whole;
        break;
    case 59:
        Settings.Letterbox = whole;
        View.ClearFrames = 1;
        StatusLine.ShowFormatted("Letterbox: %1d", whole);
        break;
    case 70:
        Sound.Enabled = whole;
        break;
    case 96: // switching the clear off also cancels a clear already asked for
        View.ClearFrames = whole;
        Settings.ScreenClear = whole;
        break;
    case 97:
        Paused = whole;
        break;
    case 98:
        InitVars();
        break;
    default:
        break;
    }
}

void CustomAction(int id, float v) {
    switch (id) {
    case 10:
        Settings.Ambient = v;
        break;
    case 11:
        Settings.Diffuse = v;
        break;
    case 12:
        Settings.Specular = v;
        break;
    case 13:
        Settings.Reflective = v;
        break;
    case 14:
        Settings.Shininess = v;
        break;
    case 15:
        Settings.Cutoff = v;
        break;
    case 16:
        Settings.Exponent = v;
        break;
    case 31:
        BlendFunc0 = int(v);
        break;
    case 32:
        BlendFunc1 = int(v);
        break;
    case 53:
        Settings.ObjectSize = v;
        StatusLine.ShowFormatted("Size: %4.2f", v);
        break;
    case 60:
        Settings.ArcThickness = v;
        StatusLine.ShowFormatted("Home: %4.2f", v);
        break;
    case 61:
        GlobeCount = int(v);
        StatusLine.ShowFormatted("# Globes: %d", GlobeCount);
        break;
    case 71:
        Settings.MouseSensitivity = v;
        StatusLine.ShowFormatted("Mouse Sensitivity: %4.2f", v);
        break;
    case 72:
        Settings.MoveSensitivity = v;
        StatusLine.ShowFormatted("Move Sensitivity: %4.2f", v);
        break;
    default:
        break;
    }
}

} // namespace

void DialogStack::DoAction() {
    const int id = ActivatedId;
    const float v = ActivatedValue;
    if (id == 92) { // the two control pages replace each other without growing the stack
        OpenMenu(CurrentMenu == StandardMenu ? CustomMenu : StandardMenu, 0);
        return;
    }
    if (id == 93) { // back, where the menu now stands
        const float x = OriginX, y = OriginY;
        PopMenu();
        OriginX = x;
        OriginY = y;
        return;
    }
    if (id == 99) { // the shattering fade-out, as the quit key starts it
        StartExit();
        return;
    }
    switch (CurrentMenu) {
    case StandardMenu:
        StandardAction(id, v);
        break;
    case CustomMenu:
        CustomAction(id, v);
        break;
    case MainMenu:
        if (id == 1 || id == 2 || id == 3) {
            OpenMenu(id == 1 ? SaveMenu : id == 2 ? LoadMenu : CustomMenu, 1);
        } else if (id == 80) { // the toggle flips with the flag, so its own value is not needed
            InfoShown = !InfoShown;
            if (InfoShown)
                HelpShown = 0;
        }
        break;
    case SaveMenu:
        if (id == 1)
            SavePrefs();
        break;
    case LoadMenu:
        if (id == 1)
            LoadPrefs();
        break;
    default:
        break;
    }
}
