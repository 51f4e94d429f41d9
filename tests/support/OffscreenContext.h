#pragma once

#include <EGL/egl.h>

// A real OpenGL (compatibility profile) context with no window and no X server: EGL on Mesa's surfaceless
// platform, rendering in software into a pbuffer of the given size, current from construction on.
//   OffscreenContext context(640, 480);   context.Ok(), or context.Error() says which step failed
class OffscreenContext {
public:
    OffscreenContext(int width, int height);
    ~OffscreenContext();
    OffscreenContext(const OffscreenContext&) = delete;
    OffscreenContext& operator=(const OffscreenContext&) = delete;

    bool Ok() const { return *Failure == '\0'; }
    const char* Error() const { return Failure; }

private:
    EGLDisplay Display = EGL_NO_DISPLAY;
    EGLSurface Surface = EGL_NO_SURFACE;
    EGLContext Context = EGL_NO_CONTEXT;
    const char* Failure = "";
};
