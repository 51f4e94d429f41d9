#include "app/Startup.h"

#include "app/DataFiles.h"
#include "app/FrameClock.h"
#include "app/Globals.h"
#include "app/ScreenView.h"
#include "app/Settings.h"
#include "app/SoundPlayer.h"
#include "platform/Platform.h"
#include "render/Camera.h"
#include "render/InputState.h"
#include "render/Light.h"
#include "render/ProceduralTexture.h"
#include "render/Texture.h"
#include "scene/Logo.h"
#include "scene/OscillatorBank.h"
#include "scene/PlasmaGlobe.h"
#include "scene/Universe.h"
#include "ui/DialogStack.h"
#include "ui/OverlayText.h"
#include "ui/Widget.h"

#include <GL/gl.h>
#include <cstdlib>

void InitGL() {
    glEnable(GL_COLOR_MATERIAL);
    glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
    glLightModeli(GL_LIGHT_MODEL_LOCAL_VIEWER, 1);
    glMateriali(GL_FRONT_AND_BACK, GL_SHININESS, 50);
    glShadeModel(GL_SMOOTH);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glAlphaFunc(GL_GREATER, 0.0f);
    glDisable(GL_DITHER);
    glFogi(GL_FOG_MODE, GL_LINEAR);
    glFogfv(GL_FOG_COLOR, FogColor);
    glFogf(GL_FOG_START, 0.1f);
    glFogf(GL_FOG_END, 2.0f);
    glHint(GL_FOG_HINT, GL_NICEST);

    View.Near = 0.1f;
    View.Far = 30.0f;
    std::srand(unsigned(Clock.ElapsedMs));

    InitOnce();
    InitVars();
    Host->SetCursor(CursorNone);
}

void InitOnce() {
    ConsoleWrite("Init Once...\n");

    // A missing image leaves its texture empty and the objects that use it untextured.
    LoadBmpLuminanceAlpha(FontTexture, FindDataFile("font_256.bmp", "text shows as solid blocks"), -1, 0,
                          false);
    LoadBmpRgba(MetalTexture, FindDataFile("metalplate128.bmp", "the logo and the menus stay untextured"),
                255, 0, true);
    LoadBmpRgba(FloorTexture, FindDataFile("floor.bmp", "the logo's floor stays untextured"), -1, 0, true);
    GenerateTexture(LightmapTexture, SpotKind, 128);
    GenerateTexture(ExitTexture, SpotKind, 256);
    Logo.MetalImage = &MetalTexture;
    Logo.FloorImage = &FloorTexture;
    Logo.LightmapImage = &LightmapTexture;
    Logo.SettingsLink = &Settings;
    GenerateTexture(GlowTexture, SpotKind, 256);
    UpdateGlowRays(GlowTexture.Name);
    LoadBmpRgba(ControlsTexture, FindDataFile("controls_128.bmp", "the menu controls stay untextured"), -1, 0,
                true);
    Widget::ControlsImage = &ControlsTexture;
    GenerateTexture(ArcTexture, BandKind, 128);

    // 2000 stars: 1000 points drawn twice, the second time turned and larger.
    Universe.Blend = 1;
    Universe.DepthTest = 0;
    Universe.DepthWrite = 0;
    Universe.Layers = 2;
    Universe.Shape = 1;
    Universe.OuterRadius = 5.0f;
    Universe.InnerRadius = 1.0f;
    Universe.ColourSpread = 0.7f;
    Universe.ColourBase = 0.3f;
    Universe.Build(2000 / Universe.Layers);

    PlasmaGlobe::SettingsLink = &Settings;
    PlasmaGlobe::ClockLink = &Clock;
    PlasmaGlobe::WaveBank = &ArcWaveBank;
    PlasmaGlobe::ArcImage = &ArcTexture;
    PlasmaGlobe::GlowImage = &GlowTexture;

    OverlayText::Font = &FontTexture;
    OverlayText::WaveBank = &TextWaveBank;
    OverlayText::ClockLink = &Clock;
    OverlayText::ViewLink = &View;
    StatusLine.X = 20.0f;
    StatusLine.Y = float(View.OverlayHeight() - 20);
    StatusLine.Radius = 10.0f;
    TitleText.SetColor(0.0f, 1.0f, 0.0f);
    TitleText.SwayOn = 1;
    TitleText.WaveOn = 1;
    DialogText.BlendOn = 0;
    DialogText.AlphaReference = 0.05f;
    DialogText.X = DialogText.Y = 0.0f;
    ErrorText.SetColor(1.0f, 1.0f, 0.0f);
    ErrorText.X = 0.4f * float(View.OverlayWidth());
    ErrorText.Y = float(View.OverlayHeight() - 20);

    MainCamera.MaxSpeed = 100.0f;
    MainCamera.WanderAmplitude = 0.25f;
    MainCamera.Thrust = 2.0f;
    MainCamera.AnchorX = 0.0f;
    MainCamera.AnchorY = 0.0f;
    MainCamera.AnchorZ = 1.25f;
    MainCamera.SettingsLink = &Settings;
    MainCamera.ClockLink = &Clock;
    MainCamera.MouseLink = &Mouse;
    MainCamera.PositionWander = &CameraPositionBank;
    MainCamera.AngleWander = &CameraAngleBank;

    // The light circles at the steady speed its orbit channel starts with.
    LightBank.Init(4);
    LightBank.Frozen[1] = 1;
    TextWaveBank.Init(8);
    LightFlare.Width = LightFlare.Height = 0.2f;
    LightFlare.Texture = &GlowTexture;

    ConsoleWrite("Particle Init...\n");

    View.SettingsLink = &Settings;
    View.CameraLink = &MainCamera;
    View.ClearColor[0] = View.ClearColor[1] = View.ClearColor[2] = 0.0f;

    Sound.Enabled = 1;
    Sound.Play("WIND2.wav", 2.0f, 1, 0); // the opening wind
}

void InitVars() {
    ConsoleWrite("Init Vars...\n");
    // Every reset starts a new random sequence, so the banks below get new phases and speeds.
    std::srand(unsigned(Clock.ElapsedMs));

    Settings.RestoreDefaults();
    MainCamera.X = -0.5f;
    MainCamera.Y = 0.2f;
    MainCamera.Z = 2.0f;
    MainCamera.VX = MainCamera.VY = MainCamera.VZ = 0.0f;
    MainCamera.Pitch = 20.0f;
    MainCamera.Yaw = 5.0f;
    MainCamera.Angle = 0.0f;
    CameraPositionBank.Init(10);
    CameraAngleBank.Init(4);

    // A reset closes the menu for good: it stops taking input and fades out.
    MenuShown = 0;
    Dialogs.TargetVisibility = 0.0f;
    Paused = 0;
    ExitStartTime = 0.0f;
    ExitState = 0;

    BlendFunc0 = 2;
    BlendFunc1 = 1;
    ValueN = 2;
    ValueN2 = 3;
    Settings.SavedN = ValueN;
    Settings.SavedN2 = ValueN2;

    // The arcs' ripple runs at a steady speed on channel 0.
    ArcWaveBank.Init(9);
    ArcWaveBank.Easing[0] = 1;
    ArcWaveBank.Speed[0] = 0.01f;
    ArcWaveBank.Frozen[0] = 1;
    Globe1.Bank.Init(7);
    Globe2.Bank.Init(7);
    Globe3.Bank.Init(7);

    if (!VarsInitialised) {
        Settings.CameraMode = 1;
        ConsoleWrite(Settings.Load(ProgramName) == 0 ? "Loaded Prefs.\n" : "No Prefs found.\n");
    } else {
        Settings.CameraMode = 0;
    }
    MainCamera.Fov = float(Settings.Fov);
    Logo.ClockLink = &Clock;
    Dialogs.MouseLink = &Mouse;
    Dialogs.KeysLink = &Keys;
    Dialogs.BuildMenu(MainMenu, 1);
    Dialogs.TextLink = &DialogText;
    Dialogs.ClockLink = &Clock;
    Mouse.ApplyCursor(Settings, MenuShown);

    VarsInitialised = 1;
    GlobeCount = 1;
}
