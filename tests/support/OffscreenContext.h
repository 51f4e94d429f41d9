#pragma once

#include <EGL/egl.h>

// A real OpenGL (compatibility profile) context with no window and no X server: EGL on Mesa's surfaceless
// platform, rendering in software into a pbuffer.
class OffscreenContext {
public:
    OffscreenContext(int width, int height);
    ~OffscreenContext();
    OffscreenContext(const OffscreenContext&) = delete;
    OffscreenContext& operator=(const OffscreenContext&) = delete;

    bool Ok() const { return Context != EGL_NO_CONTEXT; }
    const char* Error() const { return Failure; }

    // Reads the RGBA bytes of the pixel at (x, y), counted from the lower-left corner.
    void ReadPixel(int x, int y, unsigned char rgba[4]) const;

    int Width;
    int Height;

private:
    EGLDisplay Display = EGL_NO_DISPLAY;
    EGLSurface Surface = EGL_NO_SURFACE;
    EGLContext Context = EGL_NO_CONTEXT;
    const char* Failure = "";
};
