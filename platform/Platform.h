#pragma once

// The one seam between the program and its host: every window-system call that is not drawing, and every
// sound, goes through this interface. The program binds it to freeglut and SDL2 (GlutPlatform); tests and
// benchmarks bind it to a scripted fake, so the rest of the code runs with no window and no sound card.
//
// Constants carry GLUT's own values so that key codes and modifier bits read the same on both sides.

enum CursorShape {
    CursorLeftArrow = 0x0001, // GLUT_CURSOR_LEFT_ARROW
    CursorNone = 0x0065,      // GLUT_CURSOR_NONE
};

enum ModifierBit {
    ModifierShift = 1, // GLUT_ACTIVE_SHIFT
    ModifierCtrl = 2,  // GLUT_ACTIVE_CTRL
    ModifierAlt = 4,   // GLUT_ACTIVE_ALT
};

enum SpecialKey {
    KeyF1 = 1,
    KeyF2,
    KeyF3,
    KeyF4,
    KeyF5,
    KeyF6,
    KeyF7,
    KeyF8,
    KeyF9,
    KeyF10,
    KeyF11,
    KeyF12,
    KeyLeft = 100,
    KeyUp = 101,
    KeyRight = 102,
    KeyDown = 103,
    KeyPageUp = 104,
    KeyPageDown = 105,
    KeyHome = 106,
    KeyEnd = 107,
    KeyInsert = 108,
};

// What the window system reports of the window's visibility.
enum WindowVisibility {
    WindowHidden = 0,            // GLUT_HIDDEN: unmapped or minimised
    WindowFullyRetained = 1,     // GLUT_FULLY_RETAINED
    WindowPartiallyRetained = 2, // GLUT_PARTIALLY_RETAINED
    WindowFullyCovered = 3,      // GLUT_FULLY_COVERED
};

enum MouseButtonCode { ButtonLeft = 0, ButtonMiddle = 1, ButtonRight = 2 };
enum MouseButtonEvent { ButtonDown = 0, ButtonUp = 1 };

// The handlers the window system calls. Each has the exact signature of its GLUT registration, but Close,
// which the screensaver's host calls on a signal or when its window is gone.
struct WindowCallbacks {
    void (*Display)() = nullptr;
    void (*Idle)() = nullptr;
    void (*Keyboard)(unsigned char key, int x, int y) = nullptr;
    void (*Motion)(int x, int y) = nullptr; // also used for passive motion
    void (*Mouse)(int button, int state, int x, int y) = nullptr;
    void (*Reshape)(int width, int height) = nullptr;
    void (*Special)(int key, int x, int y) = nullptr;
    void (*SpecialUp)(int key, int x, int y) = nullptr;
    void (*WindowStatus)(int state) = nullptr; // a WindowVisibility
    void (*Close)() = nullptr;                 // the window system ends the program; never returns
};

class Platform {
public:
    virtual ~Platform() = default;

    virtual int ElapsedMs() = 0; // milliseconds since the window system started; wraps after ~24.8 days
    virtual void SetCursor(CursorShape shape) = 0;
    virtual void WarpPointer(int x, int y) = 0;
    // Whether the pointing device itself has moved in this frame or the one before: a report of the pointer
    // that a warp or the window system placed (a window mapped, moved or resized under it, the pointer given
    // to the window by a Wayland compositor) does not count. A host that cannot tell answers true.
    virtual bool PointerDeviceMoved() = 0;
    virtual void FullScreen() = 0;
    virtual void ReshapeWindow(int width, int height) = 0;
    virtual int Modifiers() = 0; // ModifierBit set at the last input event
    virtual int ScreenWidth() = 0;
    virtual int ScreenHeight() = 0;
    virtual int WindowWidth() = 0;
    virtual int WindowHeight() = 0;
    virtual void PostRedisplay() = 0;
    virtual void SwapBuffers() = 0;
    // Registers the idle handler again, or takes it away so that the main loop sleeps until an event.
    virtual void SetIdle(bool running) = 0;

    // Starts a .wav file playing at once, cutting off any sound still playing; a file that cannot be
    // played gives silence.
    virtual void PlayWave(const char* path) = 0;

    // Ends the program with the given status. The real host never returns from it; a fake records it.
    virtual void Exit(int status) = 0;

    // The text of the X resource Xft.dpi, the font resolution the desktop set for every program (GNOME, KDE
    // and Xfce set it, as xrdb can), or null when it set none. A host with no desktop has none.
    virtual const char* DesktopDpi() { return nullptr; }
};

// The host the program runs on, set once at start-up before anything else uses it.
extern Platform* Host;
