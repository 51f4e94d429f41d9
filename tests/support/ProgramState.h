#pragma once

// The program's long-lived state put back as a fresh process has it, for tests and benchmarks that start
// the program several times in one process.

#include "app/FrameClock.h"
#include "app/Globals.h"
#include "app/Opening.h"
#include "app/ScreenView.h"
#include "app/Settings.h"
#include "app/SoundPlayer.h"
#include "render/Camera.h"
#include "render/InputState.h"
#include "scene/Logo.h"
#include "ui/DialogStack.h"
#include "ui/OverlayText.h"

namespace support {

inline void ResetProgram() {
    Settings = SettingsStore();
    Clock = FrameClock();
    Sound = SoundPlayer();
    View = ScreenView();
    MainCamera = Camera();
    FpsDisplay = FpsText();
    Mouse = MouseState();
    Keys = KeyboardState();
    Dialogs = DialogStack();
    Paused = MenuShown = HelpShown = InfoShown = 0;
    ExitState = 0;
    ExitStartTime = 0.0f;
    GlErrorCount = 0;
    SaverMode = 0;
    VarsInitialised = 0;
    TextureAnimTimer = 0.0f;
    Logo.Finished = 0; // a new process opens on the logo scene
}

} // namespace support
