#include "platform/PointerDeviceWatch.h"

#include <GL/glx.h>
#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>

PointerDeviceWatch::~PointerDeviceWatch() {
    if (Connection)
        XCloseDisplay(Connection);
}

bool PointerDeviceWatch::Open() {
    Display* current = glXGetCurrentDisplay();
    Display* display = current ? XOpenDisplay(DisplayString(current)) : nullptr;
    if (!display)
        return false;
    int event = 0, error = 0, major = 2, minor = 2;
    if (!XQueryExtension(display, "XInputExtension", &InputOpcode, &event, &error) ||
        XIQueryVersion(display, &major, &minor) != Success) {
        XCloseDisplay(display);
        return false;
    }
    unsigned char bits[XIMaskLen(XI_RawMotion)] = {};
    XISetMask(bits, XI_RawMotion);
    XIEventMask mask = {XIAllMasterDevices, int(sizeof bits), bits};
    XISelectEvents(display, DefaultRootWindow(display), &mask, 1);
    XFlush(display);
    Connection = display;
    return true;
}

bool PointerDeviceWatch::Moved() {
    bool moved = false;
    // Only the kind of each event matters, so its data is never fetched.
    while (Connection && XPending(Connection)) {
        XEvent event;
        XNextEvent(Connection, &event);
        moved |= event.xcookie.type == GenericEvent && event.xcookie.extension == InputOpcode &&
                 event.xcookie.evtype == XI_RawMotion;
    }
    return moved;
}
