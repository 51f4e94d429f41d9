#include "platform/DesktopResources.h"

#include <GL/glx.h>
#include <X11/Xlib.h>
#include <X11/Xresource.h>
#include <cstdio>

const char* ReadDesktopDpi(Display* display, char* text, int size) {
    // The resources the desktop loaded onto the screen, as the server had them when the display opened.
    const char* resources = display ? XResourceManagerString(display) : nullptr;
    if (!resources)
        return nullptr;
    XrmInitialize();
    XrmDatabase database = XrmGetStringDatabase(resources);
    if (!database)
        return nullptr;
    char* type = nullptr;
    XrmValue value = {};
    const char* found = nullptr;
    if (XrmGetResource(database, "Xft.dpi", "Xft.Dpi", &type, &value) && value.addr) {
        std::snprintf(text, size_t(size), "%.*s", int(value.size), value.addr);
        found = text;
    }
    XrmDestroyDatabase(database);
    return found;
}

Display* CurrentGlxDisplay() {
    return glXGetCurrentDisplay();
}
