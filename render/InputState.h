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
    // An arrow pressed and released between two frames is held for the next frame all the same.
    void SpecialUp(int key);
    // End of frame: the key codes are forgotten, and so are arrows released before the frame saw them.
    void EndFrame();

    int LastKey = 0;
    int LastSpecialKey = 0;
    int Alt = 0;   // 0 or ModifierAlt
    int Ctrl = 0;  // 0 or ModifierCtrl
    int Shift = 0; // 0 or ModifierShift
    int Arrows = 0;
    int ArrowsPressed = 0;  // pressed since the last frame
    int ArrowsReleased = 0; // of those, released again: held until the end of the next frame
};

// The pointer and the three buttons. Button states: 0 up, 1 pressed this frame, 2 held, 3 released this
// frame; the frame loop turns 1 into 2 and 3 into 0 at its end. A press and its release between two frames
// (a tap, or any quick click on a slow frame) are a press in one frame and a release in the next.
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
    // End of frame: presses become held (or released, when their release came in the same frame), releases
    // become up.
    void EndFrame();
    // The window's new size: the warp point moves to its middle, and a held pointer goes there at once.
    void Reshape(int width, int height, const SettingsStore& settings, int menuShown);

    int CentreX = 320, CentreY = 240;           // the warp point: the middle of the window (first 640 x 480)
    int FormerCentreX = -1, FormerCentreY = -1; // the warp point before the window last changed size
    int PointerX = 0, PointerY = 0;
    int Moved = 0;
    int LeftButton = 0, MiddleButton = 0, RightButton = 0;
    int QuickReleases = 0; // bit b: button b was released in the frame of its press
};

extern KeyboardState Keys;
extern MouseState Mouse;
