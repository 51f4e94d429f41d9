#pragma once

struct _XDisplay; // Xlib's Display

// Hears the pointing device itself. freeglut reports only where the pointer is, and the pointer also goes
// where a warp or the window system puts it; XInput 2's raw motion events come from the device alone. They
// arrive on a connection of their own, since freeglut reads every event of its own connection.
class PointerDeviceWatch {
public:
    PointerDeviceWatch() = default;
    ~PointerDeviceWatch();
    PointerDeviceWatch(const PointerDeviceWatch&) = delete;
    PointerDeviceWatch& operator=(const PointerDeviceWatch&) = delete;

    // Listens on the display of the current GLX context. False where that display has no XInput 2.
    bool Open();
    bool IsOpen() const { return Connection != nullptr; }
    // Reads what has arrived, without waiting: true when the device has moved since the last call.
    bool Moved();

private:
    _XDisplay* Connection = nullptr;
    int InputOpcode = 0; // XInput's major opcode
};
