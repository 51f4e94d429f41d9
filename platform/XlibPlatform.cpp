#include "platform/XlibPlatform.h"

#include "platform/DesktopResources.h"

#include <GL/glx.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <initializer_list>
#include <unistd.h>

namespace {

volatile std::sig_atomic_t EndRequested = 0; // the signal that asked for the end, 0 while none has
int ErrorsSeen = 0;                          // X errors since the main loop last looked

void OnEndSignal(int signal) {
    EndRequested = signal;
}

// X errors are the window's business, not the user's: a window destroyed under the program makes every
// request on it fail, and the main loop finds that out for itself.
int CountXError(Display*, XErrorEvent*) {
    ++ErrorsSeen;
    return 0;
}

// The X server has gone: nothing is left to draw on or to tidy up.
int EndOnLostConnection(Display*) {
    _exit(0);
}

long long MonotonicUs() {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return (long long)now.tv_sec * 1000000 + now.tv_nsec / 1000;
}

// Whether the space-separated list names the extension exactly (one name may begin another).
bool HasExtension(const char* list, const char* name) {
    const std::size_t length = std::strlen(name);
    for (const char* at = list ? std::strstr(list, name) : nullptr; at; at = std::strstr(at + 1, name))
        if ((at == list || at[-1] == ' ') && (at[length] == ' ' || at[length] == '\0'))
            return true;
    return false;
}

} // namespace

XlibPlatform::~XlibPlatform() {
    Disconnect();
}

void XlibPlatform::Disconnect() {
    if (!Connection)
        return;
    glXMakeCurrent(Connection, None, nullptr);
    if (Context)
        glXDestroyContext(Connection, Context);
    XCloseDisplay(Connection);
    Connection = nullptr;
    Context = nullptr;
}

bool XlibPlatform::Open(const char* programName, const char* displayName, unsigned long window) {
    StartUs = MonotonicUs();
    // From the start: a daemon may end the program while it is still loading its images.
    struct sigaction action = {};
    action.sa_handler = OnEndSignal;
    sigemptyset(&action.sa_mask);
    for (int signal : {SIGTERM, SIGINT, SIGHUP})
        sigaction(signal, &action, nullptr);
    XSetErrorHandler(CountXError);
    XSetIOErrorHandler(EndOnLostConnection);

    Connection = XOpenDisplay(displayName);
    if (!Connection) {
        const char* name = displayName ? displayName : std::getenv("DISPLAY");
        std::fprintf(stderr, "%s: cannot open the display \"%s\"\n", programName, name ? name : "");
        return false;
    }
    Target = window != 0 ? window : DefaultRootWindow(Connection);
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(Connection, Target, &attributes)) {
        std::fprintf(stderr, "%s: the display has no window 0x%lx\n", programName, Target);
        return false;
    }
    Width = attributes.width;
    Height = attributes.height;
    ScreenSize[0] = WidthOfScreen(attributes.screen);
    ScreenSize[1] = HeightOfScreen(attributes.screen);
    // Only the window's size and its end are of interest; input belongs to whoever made the window.
    XSelectInput(Connection, Target, StructureNotifyMask);

    XVisualInfo wanted = {};
    wanted.visualid = XVisualIDFromVisual(attributes.visual);
    int count = 0;
    XVisualInfo* visual = XGetVisualInfo(Connection, VisualIDMask, &wanted, &count);
    int openGl = 0, rgba = 0;
    if (visual) {
        glXGetConfig(Connection, visual, GLX_USE_GL, &openGl);
        glXGetConfig(Connection, visual, GLX_RGBA, &rgba);
        if (openGl && rgba)
            Context = glXCreateContext(Connection, visual, nullptr, True);
        XFree(visual);
    }
    if (!Context || !glXMakeCurrent(Connection, Target, Context)) {
        std::fprintf(stderr, "%s: no OpenGL for the window 0x%lx (visual 0x%lx)\n", programName, Target,
                     wanted.visualid);
        return false;
    }
    EnableSwapControl(XScreenNumberOfScreen(attributes.screen));
    return true;
}

// Where the driver offers it, each swap waits for the display's refresh, so no frame tears.
void XlibPlatform::EnableSwapControl(int screen) {
    const char* extensions = glXQueryExtensionsString(Connection, screen);
    auto address = [](const char* name) {
        return glXGetProcAddressARB(reinterpret_cast<const GLubyte*>(name));
    };
    if (HasExtension(extensions, "GLX_EXT_swap_control")) {
        if (auto interval = reinterpret_cast<PFNGLXSWAPINTERVALEXTPROC>(address("glXSwapIntervalEXT")))
            interval(Connection, Target, 1);
    } else if (HasExtension(extensions, "GLX_MESA_swap_control")) {
        if (auto interval = reinterpret_cast<PFNGLXSWAPINTERVALMESAPROC>(address("glXSwapIntervalMESA")))
            interval(1);
    } else if (HasExtension(extensions, "GLX_SGI_swap_control")) {
        if (auto interval = reinterpret_cast<PFNGLXSWAPINTERVALSGIPROC>(address("glXSwapIntervalSGI")))
            interval(1);
    }
}

void XlibPlatform::RegisterCallbacks(const WindowCallbacks& callbacks) {
    Callbacks = callbacks;
}

void XlibPlatform::MainLoop() {
    Callbacks.Reshape(Width, Height);
    // A steady rate whatever the driver does with its swaps: the frames keep to a grid of whole periods,
    // and one that took longer than its period moves the grid on rather than being caught up.
    constexpr long long FrameUs = 1000000 / FramesPerSecond;
    long long next = MonotonicUs();
    for (;;) {
        ServeEvents();
        if (EndRequested || WindowGone)
            Callbacks.Close();
        Callbacks.Display();
        XFlush(Connection);
        next += FrameUs;
        const long long now = MonotonicUs();
        if (next < now)
            next = now;
        WaitUntil(next);
    }
}

void XlibPlatform::ServeEvents() {
    while (XPending(Connection) > 0) {
        XEvent event;
        XNextEvent(Connection, &event);
        if (event.type == ConfigureNotify && event.xconfigure.window == Target &&
            (event.xconfigure.width != Width || event.xconfigure.height != Height)) {
            Width = event.xconfigure.width;
            Height = event.xconfigure.height;
            Callbacks.Reshape(Width, Height);
        } else if (event.type == DestroyNotify && event.xdestroywindow.window == Target) {
            WindowGone = true;
        }
    }
    // An error may come before the notice of the window's end; if the window is still there, it was
    // about something else.
    if (ErrorsSeen != 0) {
        ErrorsSeen = 0;
        XWindowAttributes attributes;
        if (!XGetWindowAttributes(Connection, Target, &attributes))
            WindowGone = true;
    }
}

// Sleeps until the deadline on the monotonic clock; a signal cuts the wait short.
void XlibPlatform::WaitUntil(long long deadlineUs) {
    const timespec deadline = {time_t(deadlineUs / 1000000), long(deadlineUs % 1000000) * 1000};
    if (!EndRequested)
        clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &deadline, nullptr);
}

int XlibPlatform::ElapsedMs() {
    return int((MonotonicUs() - StartUs) / 1000);
}

int XlibPlatform::ScreenWidth() {
    return ScreenSize[0];
}

int XlibPlatform::ScreenHeight() {
    return ScreenSize[1];
}

void XlibPlatform::SwapBuffers() {
    glXSwapBuffers(Connection, Target);
}

// After a signal the program has cleaned up as on any end, and then dies of that signal, as its daemon or
// shell expects of a program that was told to stop.
void XlibPlatform::Exit(int status) {
    Disconnect();
    if (const int signal = EndRequested) {
        std::signal(signal, SIG_DFL);
        std::raise(signal);
    }
    std::exit(status);
}

const char* XlibPlatform::DesktopDpi() {
    return ReadDesktopDpi(Connection, Dpi, sizeof Dpi);
}
