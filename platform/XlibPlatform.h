#pragma once

#include "platform/Platform.h"

struct _XDisplay;       // Xlib's Display
struct __GLXcontextRec; // a GLX context

// The screensaver's host: OpenGL through GLX in a window that another program made (a screensaver
// daemon's, a screen locker's) or on the root window, and Xlib for the rest. It reads no input, plays no
// sound and never changes the window; it follows the window's size, draws a steady 30 frames a second, and
// ends the program when SIGTERM, SIGINT or SIGHUP arrives (cleanly, and then by that signal) or the window
// is destroyed (with status 0). X errors are never printed: a window that goes away under the program is
// an ordinary end.
class XlibPlatform : public Platform {
public:
    static constexpr int FramesPerSecond = 30;

    XlibPlatform() = default;
    ~XlibPlatform() override;
    XlibPlatform(const XlibPlatform&) = delete;
    XlibPlatform& operator=(const XlibPlatform&) = delete;

    // Connects to the display (null: the one DISPLAY names) and makes an OpenGL context for the window
    // (0: the root window). Returns false, with one line on stderr, when it cannot.
    // Messages begin with programName.
    bool Open(const char* programName, const char* displayName, unsigned long window);
    void RegisterCallbacks(const WindowCallbacks& callbacks);
    // Frames until a signal or the window's end, which the Close handler turns into the end of the program.
    [[noreturn]] void MainLoop();

    int ElapsedMs() override;
    void SetCursor(CursorShape) override {}
    void WarpPointer(int, int) override {}
    bool PointerDeviceMoved() override { return true; }
    void FullScreen() override {}
    void ReshapeWindow(int, int) override {}
    int Modifiers() override { return 0; }
    int ScreenWidth() override;
    int ScreenHeight() override;
    int WindowWidth() override { return Width; }
    int WindowHeight() override { return Height; }
    void PostRedisplay() override {}
    void SwapBuffers() override;
    void SetIdle(bool) override {}
    void PlayWave(const char*) override {}
    [[noreturn]] void Exit(int status) override;
    const char* DesktopDpi() override; // once the display is open

private:
    // Releases the context and closes the display; nothing happens when it is closed already.
    void Disconnect();
    void EnableSwapControl(int screen);
    void ServeEvents();
    void WaitUntil(long long deadlineUs);

    _XDisplay* Connection = nullptr;
    unsigned long Target = 0; // the window drawn into
    __GLXcontextRec* Context = nullptr;
    int Width = 0;
    int Height = 0;
    int ScreenSize[2] = {0, 0}; // of the window's screen
    bool WindowGone = false;
    long long StartUs = 0; // the monotonic clock when the display was opened
    char Dpi[32] = {};     // the text DesktopDpi answers with
    WindowCallbacks Callbacks;
};
