#pragma once

class ScreenView;
class SettingsStore;

// The keys as the camera and the menus read them once per frame. Codes live for one frame: the frame
// loop zeroes them at its end.
class KeyboardState {
public:
    // Bits of Arrows: the arrow directions held down.
    enum ArrowBit {
        ArrowLeft = 1,
        ArrowRight = 2,
        ArrowForward = 4,
        ArrowBack = 8,
        ArrowUp = 16,
        ArrowDown = 32
    };

    virtual ~KeyboardState() = default;

    // modifiers: the host's modifier bits at this key press.
    void KeyDown(unsigned char key, int modifiers);
    void SpecialDown(int key, int modifiers);
    // Uses the Ctrl state of the last press: an Up pressed with Ctrl and released without it keeps rising.
    void SpecialUp(int key);

    int LastKey = 0;
    int LastSpecialKey = 0;
    int Alt = 0;   // 0 or ModifierAlt
    int Ctrl = 0;  // 0 or ModifierCtrl
    int Shift = 0; // 0 or ModifierShift
    int Arrows = 0;
};

// The pointer and the three buttons. Button states: 0 up, 1 pressed this frame, 2 held, 3 released this
// frame; the frame loop turns 1 into 2 and 3 into 0 at its end.
class MouseState {
public:
    virtual ~MouseState() = default;

    // In camera mode 1 the offset from the warp point; otherwise the position with y counted up from the
    // bottom of the window.
    void Motion(int x, int y, const SettingsStore& settings, const ScreenView& view);
    // Buttons 0, 1, 2 are left, middle, right; others (the wheel, side buttons) are ignored.
    void Button(int button, int state);
    // Arrow pointer over the menu or in an automatic windowed view; otherwise hidden and held at the warp
    // point for mouse look.
    void ApplyCursor(const SettingsStore& settings, int menuShown);
    // End of frame: presses become held, releases become up.
    void EndFrame();
    // The window's new size: the warp point moves to its middle, and a held pointer goes there at once.
    void Reshape(int width, int height, const SettingsStore& settings, int menuShown);

    int CentreX = 320, CentreY = 240;           // the warp point: the middle of the window (first 640 x 480)
    int FormerCentreX = -1, FormerCentreY = -1; // the warp point before the window last changed size
    int PointerX = 0, PointerY = 0;
    int Moved = 0;
    int LeftButton = 0, MiddleButton = 0, RightButton = 0;
};

extern KeyboardState Keys;
extern MouseState Mouse;
