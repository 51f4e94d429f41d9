#pragma once

#include "platform/Platform.h"

#include <string>
#include <vector>

// A scripted host on a 1920 x 1080 screen: the test sets the time and the modifier state, and reads back
// what the program asked of the window system and which sounds it played.
class FakePlatform : public Platform {
public:
    int ElapsedMs() override { return NowMs; }
    void SetCursor(CursorShape shape) override { Cursor = shape; }
    void WarpPointer(int x, int y) override { Warps.push_back({x, y}); }
    bool PointerDeviceMoved() override { return DeviceMoved; }
    void FullScreen() override { ++FullScreenCalls; }
    void ReshapeWindow(int width, int height) override { Reshapes.push_back({width, height}); }
    int Modifiers() override { return ModifierState; }
    int ScreenWidth() override { return 1920; }
    int ScreenHeight() override { return 1080; }
    int WindowWidth() override { return 640; }
    int WindowHeight() override { return 480; }
    void PostRedisplay() override { ++Redisplays; }
    void SwapBuffers() override {}
    void SetIdle(bool running) override { IdleRunning = running; }
    void PlayWave(const char* path) override { Waves.emplace_back(path); }
    void Exit(int status) override { ExitStatus = status; }

    struct Point {
        int X, Y;
    };

    int NowMs = 0;
    int ModifierState = 0;
    bool DeviceMoved = true; // false: every pointer report comes from the window system, none from the hand

    int Cursor = -1;
    int FullScreenCalls = 0;
    int Redisplays = 0;
    bool IdleRunning = true; // the idle handler as registered at start-up
    int ExitStatus = -1;     // -1 while the program has not ended
    std::vector<Point> Warps;
    std::vector<Point> Reshapes;
    std::vector<std::string> Waves;
};
