#pragma once

// What both benchmarks share: a host that records nothing, the program started the way the GL tests
// start it, and the repository's data folder as the working directory so that the images load.

#include "app/FrameClock.h"
#include "app/FrameLoop.h"
#include "app/Globals.h"
#include "app/Opening.h"
#include "app/ScreenView.h"
#include "app/Settings.h"
#include "app/SoundPlayer.h"
#include "app/Startup.h"
#include "render/Camera.h"
#include "render/InputState.h"
#include "scene/Logo.h"
#include "support/FakePlatform.h"
#include "support/ProgramState.h"
#include "ui/DialogStack.h"
#include "ui/OverlayText.h"

#include <GL/gl.h>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace bench {

constexpr int FrameMs = 16; // the scripted clock's step per frame

// The scripted host, except that the calls a test would read back are only counted: the vectors of
// FakePlatform would allocate while the frames are measured and be charged to the program.
class BenchPlatform : public FakePlatform {
public:
    void WarpPointer(int, int) override { ++WarpCount; }
    void ReshapeWindow(int, int) override { ++ReshapeCount; }
    void PlayWave(const char*) override { ++WaveCount; }

    int WarpCount = 0;
    int ReshapeCount = 0;
    int WaveCount = 0;
};

// Runs the program's code in the repository's data folder (images load from the working directory).
inline bool EnterDataFolder() {
    if (chdir(TOVI_DATA_DIR) == 0)
        return true;
    std::fprintf(stderr, "cannot enter the data folder %s\n", TOVI_DATA_DIR);
    return false;
}

using support::ResetProgram;

// What a fresh process does before its first frame, on the given host at 0 ms and with a window of the
// given size and the overlay at the given scale. A preferences file left in the data folder by a run of the
// program is overridden: every setting starts at its default, as on a first run.
inline void StartProgram(BenchPlatform& host, int width, int height, int overlayScale = 1) {
    ResetProgram();
    View.OverlayScale = overlayScale;
    host = BenchPlatform();
    Host = &host;
    // The start-up's console lines go to /dev/null: the tables are the benchmark's output.
    std::fflush(stdout);
    const int console = dup(STDOUT_FILENO), null = open("/dev/null", O_WRONLY);
    dup2(null, STDOUT_FILENO);
    InitGL();
    std::fflush(stdout);
    dup2(console, STDOUT_FILENO);
    close(console);
    close(null);
    Settings.RestoreDefaults();
    Settings.CameraMode = 1;
    MainCamera.Fov = float(Settings.Fov);
    View.Reshape(width, height);
    Logo.Finished = 1; // the globe scene, as after the click that ends the opening
}

// One frame at the next step of the scripted clock.
inline void NextFrame(BenchPlatform& host) {
    host.NowMs += FrameMs;
    DisplayFrame();
}

// Frames until the opening is over: coarseFrames in 100 ms steps (100 of them run the first ten seconds
// of scene time, past the fade-in from black and the sliding title), then fineFrames of 16 ms so that
// the frame time is an ordinary one again.
inline void WarmUp(BenchPlatform& host, int coarseFrames, int fineFrames) {
    for (int i = 0; i < coarseFrames; ++i) {
        host.NowMs += 100;
        DisplayFrame();
        glFinish();
    }
    for (int i = 0; i < fineFrames; ++i) {
        NextFrame(host);
        glFinish();
    }
}

} // namespace bench
