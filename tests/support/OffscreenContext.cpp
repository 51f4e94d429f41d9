#include "OffscreenContext.h"

#include <EGL/eglext.h>
#include <GL/gl.h>
#include <cstdlib>

OffscreenContext::OffscreenContext(int width, int height) {
    // Mesa's software rasteriser; no GPU or render node is needed.
    setenv("LIBGL_ALWAYS_SOFTWARE", "1", 0);
    const auto getDisplay =
        reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(eglGetProcAddress("eglGetPlatformDisplayEXT"));
    Display =
        getDisplay ? getDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr) : EGL_NO_DISPLAY;
    // clang-format off
    const EGLint configAttributes[] = {
        EGL_SURFACE_TYPE, EGL_PBUFFER_BIT,
        EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT,
        EGL_RED_SIZE, 8,
        EGL_GREEN_SIZE, 8,
        EGL_BLUE_SIZE, 8,
        EGL_ALPHA_SIZE, 8,
        EGL_DEPTH_SIZE, 24,
        EGL_NONE};
    // clang-format on
    const EGLint surfaceAttributes[] = {EGL_WIDTH, width, EGL_HEIGHT, height, EGL_NONE};
    EGLConfig config;
    EGLint configCount = 0;
    if (Display == EGL_NO_DISPLAY || !eglInitialize(Display, nullptr, nullptr))
        Failure = "no surfaceless EGL display";
    else if (!eglChooseConfig(Display, configAttributes, &config, 1, &configCount) || configCount == 0)
        Failure = "no RGBA8 + depth pbuffer config";
    else if ((Surface = eglCreatePbufferSurface(Display, config, surfaceAttributes)) == EGL_NO_SURFACE)
        Failure = "no pbuffer";
    else if (!eglBindAPI(EGL_OPENGL_API) ||
             (Context = eglCreateContext(Display, config, EGL_NO_CONTEXT, nullptr)) == EGL_NO_CONTEXT ||
             !eglMakeCurrent(Display, Surface, Surface, Context))
        Failure = "no OpenGL context";
    else
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
