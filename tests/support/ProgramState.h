#pragma once

// Program reset, for tests and benchmarks that start the program many times in one process:
//   support::ResetProgram();   every long-lived object, global and shared link as a fresh process has it
// Then InitGL (with Host set) starts the program as main does. Two things of the first start stay: the
// paths found for the data files, and the glow's rays, drawn from the random generator only once per
// process; so the glow's rays and the arcs' sparkle differ from run to run (InitVars re-seeds the generator
// after them, so everything else repeats). No test may depend on their exact pixels.

#include "app/FrameClock.h"
#include "app/Globals.h"
#include "app/Opening.h"
#include "app/ScreenView.h"
#include "app/Settings.h"
#include "app/SoundPlayer.h"
#include "render/Camera.h"
#include "render/InputState.h"
#include "render/Light.h"
#include "render/Texture.h"
#include "scene/Logo.h"
#include "scene/OscillatorBank.h"
#include "scene/PlasmaGlobe.h"
#include "scene/Universe.h"
#include "ui/DialogStack.h"
#include "ui/OverlayText.h"
#include "ui/Widget.h"

#include <initializer_list>

namespace support {

inline void ResetProgram() {
    // The static objects, in their order of construction.
    LightFlare = SceneObject3D();
    for (OverlayText* text : {&StatusLine, &TitleText, &ScreenText, &DialogText, &ErrorText})
        *text = OverlayText();
    FpsDisplay = FpsText();
    Settings = SettingsStore();
    MainCamera = Camera();
    Clock = FrameClock();
    Mouse = MouseState();
    Keys = KeyboardState();
    for (OscillatorBank* bank :
         {&CameraPositionBank, &CameraAngleBank, &ArcWaveBank, &TextWaveBank, &LightBank})
        *bank = OscillatorBank();
    MainLight = Light();
    Sound = SoundPlayer();
    View = ScreenView();
    Logo = LogoScene();
    for (Texture* texture : {&FontTexture, &MetalTexture, &FloorTexture, &LightmapTexture, &ExitTexture,
                             &GlowTexture, &ControlsTexture, &ArcTexture})
        *texture = Texture();
    for (PlasmaGlobe* globe : {&Globe1, &Globe2, &Globe3})
        *globe = PlasmaGlobe();
    Dialogs = DialogStack();
    Universe = StarUniverse();

    // The live globals and the state of the opening and closing.
    for (int* zero : {&Paused, &MenuShown, &HelpShown, &InfoShown, &ExitState, &LetterboxPhase,
                      &VarsInitialised, &GlErrorCount, &SaverMode, &ShatterStarted})
        *zero = 0;
    for (float* zero : {&ExitStartTime, &TextureAnimTimer, &LogoTime})
        *zero = 0.0f;
    GlobeCount = 1;
    BlendFunc0 = 2;
    BlendFunc1 = 1;
    ValueN = 2;
    ValueN2 = 3;
    for (auto& column : ShatterTiles)
        for (ShatterTile& tile : column)
            tile = ShatterTile();

    // The links start-up sets between the objects.
    PlasmaGlobe::SettingsLink = nullptr;
    PlasmaGlobe::ClockLink = nullptr;
    PlasmaGlobe::WaveBank = nullptr;
    PlasmaGlobe::ArcImage = nullptr;
    PlasmaGlobe::GlowImage = nullptr;
    OverlayText::Font = nullptr;
    Widget::ControlsImage = nullptr;
    OverlayText::WaveBank = nullptr;
    OverlayText::ClockLink = nullptr;
    OverlayText::ViewLink = nullptr;
}

} // namespace support
