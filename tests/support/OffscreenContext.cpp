#include "OffscreenContext.h"

#include <EGL/eglext.h>
#include <GL/gl.h>
#include <cstdlib>

OffscreenContext::OffscreenContext(int width, int height) : Width(width), Height(height) {
    // Mesa's software rasteriser; no GPU or render node is needed.
    setenv("LIBGL_ALWAYS_SOFTWARE", "1", 0);
    auto getPlatformDisplay =
        reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (!getPlatformDisplay) {
        Failure = "no eglGetPlatformDisplayEXT";
        return;
    }
    Display = getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    if (Display == EGL_NO_DISPLAY || !eglInitialize(Display, nullptr, nullptr)) {
        Failure = "no surfaceless EGL display";
        return;
    }
    const EGLint configAttributes[] = {EGL_SURFACE_TYPE,
                                       EGL_PBUFFER_BIT,
                                       EGL_RENDERABLE_TYPE,
                                       EGL_OPENGL_BIT,
                                       EGL_RED_SIZE,
                                       8,
                                       EGL_GREEN_SIZE,
                                       8,
                                       EGL_BLUE_SIZE,
                                       8,
                                       EGL_ALPHA_SIZE,
                                       8,
                                       EGL_DEPTH_SIZE,
                                       24,
                                       EGL_NONE};
    EGLConfig config;
    EGLint configCount = 0;
    if (!eglChooseConfig(Display, configAttributes, &config, 1, &configCount) || configCount == 0) {
        Failure = "no RGBA8 + depth pbuffer config";
        return;
    }
    const EGLint surfaceAttributes[] = {EGL_WIDTH, width, EGL_HEIGHT, height, EGL_NONE};
    Surface = eglCreatePbufferSurface(Display, config, surfaceAttributes);
    if (Surface == EGL_NO_SURFACE) {
        Failure = "no pbuffer";
        return;
    }
    eglBindAPI(EGL_OPENGL_API);
    EGLContext context = eglCreateContext(Display, config, EGL_NO_CONTEXT, nullptr);
    if (context == EGL_NO_CONTEXT || !eglMakeCurrent(Display, Surface, Surface, context)) {
        Failure = "no OpenGL context";
        return;
    }
    Context = context;
    glViewport(0, 0, width, height);
}

OffscreenContext::~OffscreenContext() {
    if (Display == EGL_NO_DISPLAY)
        return;
    eglMakeCurrent(Display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    if (Context != EGL_NO_CONTEXT)
        eglDestroyContext(Display, Context);
    if (Surface != EGL_NO_SURFACE)
        eglDestroySurface(Display, Surface);
    eglTerminate(Display);
}

void OffscreenContext::ReadPixel(int x, int y, unsigned char rgba[4]) const {
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
}
