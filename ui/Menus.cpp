// The five menu pages: for each its title, glyph size, text style and every row with its kind, label, id,
// place, the setting it shows and, for sliders, the range and flags.

#include "app/Globals.h"
#include "app/ScreenView.h"
#include "app/Settings.h"
#include "app/SoundPlayer.h"
#include "ui/DialogStack.h"
#include "ui/OverlayText.h"
#include "ui/Widget.h"

namespace {

constexpr int BoxSize = 30; // title, buttons, icon buttons and toggles are square
constexpr int SliderWidth = 140;
constexpr int SliderHeight = 24;

void Title(DialogStack& dialog, const char* label, int y) {
    dialog.AddWidget(TitleKind, label, 0, 30, y, BoxSize, BoxSize, 0.0f, 0.0f, 0.0f, 0, 0);
}
void Button(DialogStack& dialog, int kind, const char* label, int id, int x, int y) {
    dialog.AddWidget(kind, label, id, x, y, BoxSize, BoxSize, 0.0f, 0.0f, 0.0f, 0, 0);
}
void Toggle(DialogStack& dialog, const char* label, int id, int x, int y, int on) {
    dialog.AddWidget(ToggleKind, label, id, x, y, BoxSize, BoxSize, float(on), 0.0f, 0.0f, 0, 0);
}
void Slider(DialogStack& dialog, const char* label, int id, int y, float value, float minimum, float maximum,
            int integerSteps, int linear) {
    dialog.AddWidget(SliderKind, label, id, 30, y, SliderWidth, SliderHeight, value, minimum, maximum,
                     integerSteps, linear);
}

void BuildStandard(DialogStack& d, int y0) {
    Title(d, "Standard", y0);
    Button(d, IconButtonKind, "", 93, 180, y0);
    Button(d, ButtonKind, "Custom Controls...", 92, 250, y0);
    Slider(d, "RotateSpeed", 56, y0 - 29, Settings.RotateSpeed, 0.0f, 20.0f, 0, 0);
    Slider(d, "Move Speed", 57, y0 - 53, Settings.MoveSpeed, 0.0f, 20.0f, 0, 0);
    Slider(d, "Main Speed", 54, y0 - 77, Settings.MainSpeed, 0.1f, 4.0f, 0, 0);
    Slider(d, "Magnification/FOV", 51, y0 - 106, float(Settings.Fov), 5.0f, 178.0f, 1, 1);
    Slider(d, "CameraZ", 52, y0 - 130, Settings.CameraZ, -3.0f * SceneScale, 3.0f * SceneScale, 0, 1);
    Slider(d, "Fade Effect", 55, y0 - 159, Settings.FadeEffect, 0.01f, 1.0f, 0, 0);
    Slider(d, "Letterbox", 59, y0 - 183, float(Settings.Letterbox), 0.0f, 6.8f, 1, 1);
    Slider(d, "PolygonMode", 58, y0 - 207, float(Settings.PolygonMode), 0.0f, 2.9f, 1, 1);
    Toggle(d, "Screen Clear", 96, 70, y0 - 236, Settings.ScreenClear);
    Toggle(d, "Pause", 97, 70, y0 - 271, Paused);
    Toggle(d, "Sounds", 70, 70, y0 - 306, Sound.Enabled);
    Button(d, ButtonKind, "Reset", 98, 70, y0 - 351);
    Button(d, ButtonKind, "Exit Program", 99, 70, y0 - 391);
}

void BuildCustom(DialogStack& d, int y0) {
    Title(d, ProgramName, y0);
    Button(d, IconButtonKind, "", 93, 180, y0);
    Button(d, ButtonKind, "Standard Controls...", 92, 250, y0);
    Slider(d, "# Globes", 61, y0 - 29, float(GlobeCount), 1.0f, 3.8f, 1, 1);
    Slider(d, "Globe Size", 53, y0 - 53, Settings.ObjectSize, 0.1f, 10.0f, 0, 0);
    Slider(d, "Arc Thickness", 60, y0 - 77, Settings.ArcThickness, 0.2f, 10.0f, 0, 0);
    Slider(d, "MouseLook Sensitivity", 71, y0 - 106, Settings.MouseSensitivity, 0.0f, 2.0f, 0, 1);
    Slider(d, "ArrowMove/Click Thrust Sensitivity", 72, y0 - 130, Settings.MoveSensitivity, 0.0f, 2.0f, 0, 1);
    Slider(d, "Ambient", 10, y0 - 164, Settings.Ambient, 0.0f, 1.0f, 0, 1);
    Slider(d, "Diffuse", 11, y0 - 188, Settings.Diffuse, 0.0f, 1.0f, 0, 1);
    Slider(d, "Specular", 12, y0 - 212, Settings.Specular, 0.0f, 1.0f, 0, 1);
    Slider(d, "Reflective", 13, y0 - 236, Settings.Reflective, 0.0f, 1.0f, 0, 1);
    Slider(d, "Shininess", 14, y0 - 260, Settings.Shininess, 0.0f, 128.0f, 1, 1);
    Slider(d, "Cutoff", 15, y0 - 284, Settings.Cutoff, 0.0f, 180.0f, 1, 1);
    Slider(d, "Exponent", 16, y0 - 308, Settings.Exponent, 0.0f, 10.0f, 1, 0);
    Slider(d, "BlendFunc0", 31, y0 - 342, float(BlendFunc0), 0.0f, 8.5f, 1, 1);
    Slider(d, "BlendFunc1", 32, y0 - 366, float(BlendFunc1), 0.0f, 7.5f, 1, 1);
}

void BuildMain(DialogStack& d, int y0) {
    Title(d, "Main Menu", y0);
    Button(d, ButtonKind, "Options...", 3, 30, y0 - 55);
    Button(d, ButtonKind, "Save...", 1, 30, y0 - 95);
    Button(d, ButtonKind, "Load...", 2, 30, y0 - 135);
    Toggle(d, "Info", 80, 30, y0 - 185, InfoShown);
    Button(d, ButtonKind, "Quit", 99, 30, y0 - 240);
}

// The save and load pages: a title, the back button and the one command.
void BuildFilePage(DialogStack& d, int y0, const char* title, const char* command) {
    Title(d, title, y0);
    Button(d, IconButtonKind, "", 93, 250, y0);
    Button(d, ButtonKind, command, 1, 30, y0 - 75);
}

} // namespace

void DialogStack::BuildMenu(int menuId, int clear) {
    if (!Announced) {
        ConsoleWrite("Dialog Init...\n");
        Announced = 1;
    }
    DialogText.WobbleOn = 0;
    DialogText.AlphaTestOn = 0;
    // The menu hangs from seven tenths of the window's height as it is when the page is built.
    const int y0 = int(0.7 * double(View.OverlayHeight()));
    if (clear) {
        Clear();
        CurrentMenu = menuId;
    }
    MenuFontSize = menuId == StandardMenu || menuId == CustomMenu ? 10 : 20;
    switch (menuId) {
    case StandardMenu:
        BuildStandard(*this, y0);
        break;
    case CustomMenu:
        BuildCustom(*this, y0);
        break;
    case MainMenu:
        // The main menu's large letters wobble, cut out by the alpha test.
        DialogText.WobbleOn = 1;
        DialogText.AlphaTestOn = 1;
        BuildMain(*this, y0);
        break;
    case SaveMenu:
        BuildFilePage(*this, y0, "Save Menu", "Save Prefs");
        break;
    case LoadMenu:
        BuildFilePage(*this, y0, "Load Menu", "Load Prefs");
        break;
    default:
        break;
    }
}
