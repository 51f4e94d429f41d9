#include "render/InputState.h"

#include "app/ScreenView.h"
#include "app/Settings.h"
#include "platform/Platform.h"

namespace {

// The direction an arrow key drives; with Ctrl, up and down lift and lower instead of moving forward and
// back. Keys that are not arrows drive nothing.
int ArrowBitOf(int key, int ctrl) {
    switch (key) {
    case KeyLeft:
        return KeyboardState::ArrowLeft;
    case KeyRight:
        return KeyboardState::ArrowRight;
    case KeyUp:
        return ctrl ? KeyboardState::ArrowUp : KeyboardState::ArrowForward;
    case KeyDown:
        return ctrl ? KeyboardState::ArrowDown : KeyboardState::ArrowBack;
    default:
        return 0;
    }
}

} // namespace

void KeyboardState::KeyDown(unsigned char key, int modifiers) {
    LastKey = key;
    Alt = modifiers & ModifierAlt;
    Ctrl = modifiers & ModifierCtrl;
    Shift = modifiers & ModifierShift;
}

void KeyboardState::SpecialDown(int key, int modifiers) {
    LastSpecialKey = key;
    Alt = modifiers & ModifierAlt;
    Ctrl = modifiers & ModifierCtrl;
    Shift = modifiers & ModifierShift;
    const int arrow = ArrowBitOf(key, Ctrl);
    Arrows |= arrow;
    ArrowsPressed |= arrow;
    ArrowsReleased &= ~arrow;
}

void KeyboardState::SpecialUp(int key) {
    const int arrow = ArrowBitOf(key, Ctrl);
    if (ArrowsPressed & arrow)
        ArrowsReleased |= arrow;
    else
        Arrows &= ~arrow;
}

void KeyboardState::EndFrame() {
    LastKey = 0;
    LastSpecialKey = 0;
    Arrows &= ~ArrowsReleased;
    ArrowsPressed = ArrowsReleased = 0;
}

void MouseState::Motion(int x, int y, const SettingsStore& settings, const ScreenView& view) {
    if (settings.CameraMode == 1) {
        // The window system's reports lag behind: one at the warp point of the window's former size was
        // sent before the pointer was brought to the new one, and the pointer has not moved.
        const bool held = x == FormerCentreX && y == FormerCentreY;
        PointerX = held ? 0 : x - CentreX;
        PointerY = held ? 0 : y - CentreY;
    } else {
        // The menus and the automatic view read the pointer the way OpenGL counts rows.
        PointerX = x;
        PointerY = view.Height - y - 1;
    }
    Moved = 1;
}

void MouseState::Button(int button, int state) {
    // The wheel and the side buttons arrive as further button numbers; none of them is a click here.
    int* const buttons[] = {&LeftButton, &MiddleButton, &RightButton};
    if (button < ButtonLeft || button > ButtonRight)
        return;
    int& current = *buttons[button];
    if (state == ButtonDown && current == 0)
        current = 1;
    else if (state == ButtonUp && current == 2)
        current = 3;
    else if (state == ButtonUp && current == 1) // the frame sees the press, the next one the release
        QuickReleases |= 1 << button;
}

void MouseState::ApplyCursor(const SettingsStore& settings, int menuShown) {
    if (menuShown || (settings.FullScreen == 0 && settings.CameraMode == 0)) {
        Host->SetCursor(CursorLeftArrow);
        return;
    }
    Host->SetCursor(CursorNone);
    Host->WarpPointer(CentreX, CentreY);
    // The pointer now rests at the warp point: no offset is pending, whatever the old mode stored, so
    // mouse look does not jump when the mode changes before the warp's own motion event arrives.
    PointerX = PointerY = 0;
}

void MouseState::EndFrame() {
    int* const buttons[] = {&LeftButton, &MiddleButton, &RightButton};
    for (int b = 0; b < 3; ++b) {
        if (*buttons[b] == 1)
            *buttons[b] = QuickReleases >> b & 1 ? 3 : 2;
        else if (*buttons[b] == 3)
            *buttons[b] = 0;
    }
    QuickReleases = 0;
}

void MouseState::Reshape(int width, int height, const SettingsStore& settings, int menuShown) {
    // A fixed point could lie outside a small window and throw the pointer out of it: mouse look would
    // stop, and without a window manager the keys would go to whatever lies under the pointer. The pointer
    // is brought over at once because the key that changed the size (F) warped it before the window had
    // its new size. A reshape that keeps the size (some window managers send one on a move) changes nothing.
    if (width / 2 == CentreX && height / 2 == CentreY)
        return;
    FormerCentreX = CentreX;
    FormerCentreY = CentreY;
    CentreX = width / 2;
    CentreY = height / 2;
    ApplyCursor(settings, menuShown);
}
