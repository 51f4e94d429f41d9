#pragma once

#include "platform/Platform.h"
#include "platform/PointerDeviceWatch.h"
#include "platform/SdlWavePlayer.h"

// The real host: a freeglut window and SDL2 sound.
class GlutPlatform : public Platform {
public:
    GlutPlatform();
    ~GlutPlatform() override;

    // Initialises GLUT with the command line and opens the full-screen, double-buffered RGB window with a
    // depth buffer.
    void OpenWindow(int* argc, char** argv, int width, int height, const char* title);
    void RegisterCallbacks(const WindowCallbacks& callbacks);
    void MainLoop();

    int ElapsedMs() override;
    void SetCursor(CursorShape shape) override;
    void WarpPointer(int x, int y) override;
    bool PointerDeviceMoved() override;
    void FullScreen() override;
    void ReshapeWindow(int width, int height) override;
    int Modifiers() override;
    int ScreenWidth() override;
    int ScreenHeight() override;
    int WindowWidth() override;
    int WindowHeight() override;
    void PostRedisplay() override;
    void SwapBuffers() override;
    void SetIdle(bool running) override;
    void PlayWave(const char* path) override;
    [[noreturn]] void Exit(int status) override;
    const char* DesktopDpi() override; // once the window is open

private:
    void ReadPointerDevice();

    SdlWavePlayer Audio;
    bool AudioStarted = false;                               // the device opens after the first frame
    char PendingWave[SdlWavePlayer::MaxPathLength + 1] = {}; // the sound asked for before that
    void (*Idle)() = nullptr;                                // the registered idle handler, for SetIdle
    int PendingSize[2] = {};                                 // a window size to ask for after the frame
    PointerDeviceWatch Device;
    long long Frames = 0;                 // buffer swaps so far
    long long LastDeviceMotionFrame = -2; // the frame in which the pointing device last moved
    char Dpi[32] = {};                    // the text DesktopDpi answers with
};
