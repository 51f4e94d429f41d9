#include "platform/GlutPlatform.h"

#include "platform/DesktopResources.h"

#include <GL/freeglut.h>
#include <cstdio>
#include <cstdlib>

static_assert(CursorLeftArrow == GLUT_CURSOR_LEFT_ARROW && CursorNone == GLUT_CURSOR_NONE);
static_assert(ModifierShift == GLUT_ACTIVE_SHIFT && ModifierCtrl == GLUT_ACTIVE_CTRL &&
              ModifierAlt == GLUT_ACTIVE_ALT);
static_assert(KeyF1 == GLUT_KEY_F1 && KeyF12 == GLUT_KEY_F12 && KeyLeft == GLUT_KEY_LEFT &&
              KeyDown == GLUT_KEY_DOWN && KeyPageUp == GLUT_KEY_PAGE_UP && KeyInsert == GLUT_KEY_INSERT);
static_assert(WindowHidden == GLUT_HIDDEN && WindowFullyRetained == GLUT_FULLY_RETAINED &&
              WindowPartiallyRetained == GLUT_PARTIALLY_RETAINED && WindowFullyCovered == GLUT_FULLY_COVERED);
static_assert(ButtonLeft == GLUT_LEFT_BUTTON && ButtonRight == GLUT_RIGHT_BUTTON && ButtonDown == GLUT_DOWN);

GlutPlatform::GlutPlatform() = default;

GlutPlatform::~GlutPlatform() {
    // The host outlives the frame loop but not the program's static objects: the sound device and its
    // thread are gone before those are destroyed.
    Audio.Close();
}

void GlutPlatform::OpenWindow(int* argc, char** argv, int width, int height, const char* title) {
    glutInit(argc, argv);
    glutInitDisplayMode(GLUT_DOUBLE | GLUT_DEPTH);
    // After glutInit, so that these replace a -geometry of the command line: without a window manager
    // freeglut shifts the full-screen window off the screen's corner by the first window's position (its
    // default position, (-1, -1), would leave it one pixel off).
    glutInitWindowSize(width, height);
    glutInitWindowPosition(0, 0);
    glutCreateWindow(title);
    glutFullScreen();
    Device.Open();
}

void GlutPlatform::RegisterCallbacks(const WindowCallbacks& callbacks) {
    glutDisplayFunc(callbacks.Display);
    Idle = callbacks.Idle;
    glutIdleFunc(Idle);
    glutKeyboardFunc(callbacks.Keyboard);
    glutMotionFunc(callbacks.Motion);
    glutMouseFunc(callbacks.Mouse);
    glutPassiveMotionFunc(callbacks.Motion);
    glutReshapeFunc(callbacks.Reshape);
    glutSpecialFunc(callbacks.Special);
    glutSpecialUpFunc(callbacks.SpecialUp);
    glutWindowStatusFunc(callbacks.WindowStatus);
}

void GlutPlatform::MainLoop() {
    glutMainLoop();
    Exit(0); // freeglut returns only when told to on window close
}

int GlutPlatform::ElapsedMs() {
    return glutGet(GLUT_ELAPSED_TIME);
}

void GlutPlatform::SetCursor(CursorShape shape) {
    glutSetCursor(shape);
}

void GlutPlatform::WarpPointer(int x, int y) {
    glutWarpPointer(x, y);
}

void GlutPlatform::ReadPointerDevice() {
    if (Device.Moved())
        LastDeviceMotionFrame = Frames;
}

// The device's motion and freeglut's reports of it come on two connections and may be read in different
// frames, so a motion in the frame before counts too.
bool GlutPlatform::PointerDeviceMoved() {
    ReadPointerDevice();
    return !Device.IsOpen() || LastDeviceMotionFrame + 1 >= Frames;
}

void GlutPlatform::FullScreen() {
    PendingSize[0] = PendingSize[1] = 0; // a window size asked for before is no longer wanted
    glutFullScreen();
}

void GlutPlatform::ReshapeWindow(int width, int height) {
    // Leaving full screen gives the window back its size from before, and freeglut applies that after a
    // size asked for in the same turn of its loop (without a window manager, and also with one when the
    // leaving is asked for explicitly). So the window leaves full screen now (nothing happens when it is
    // not full screen) and gets its size at the end of the next frame.
    glutLeaveFullScreen();
    PendingSize[0] = width;
    PendingSize[1] = height;
}

int GlutPlatform::Modifiers() {
    return glutGetModifiers();
}

int GlutPlatform::ScreenWidth() {
    return glutGet(GLUT_SCREEN_WIDTH);
}

int GlutPlatform::ScreenHeight() {
    return glutGet(GLUT_SCREEN_HEIGHT);
}

int GlutPlatform::WindowWidth() {
    return glutGet(GLUT_WINDOW_WIDTH);
}

int GlutPlatform::WindowHeight() {
    return glutGet(GLUT_WINDOW_HEIGHT);
}

void GlutPlatform::PostRedisplay() {
    glutPostRedisplay();
}

void GlutPlatform::SwapBuffers() {
    glutSwapBuffers();
    ReadPointerDevice(); // in every frame, asked for or not, so that the events do not pile up
    ++Frames;
    if (PendingSize[0] > 0) {
        glutReshapeWindow(PendingSize[0], PendingSize[1]);
        PendingSize[0] = PendingSize[1] = 0;
    }
    // The sound device opens once the first frame is on the screen: looking for a sound system can take a
    // good part of a second (a sound server slow to answer, or none at all), and the window should not wait
    // for it. The frame after it meets a long step, which the clock counts as one short frame. Without a
    // device the program runs silent.
    if (!AudioStarted) {
        AudioStarted = true;
        if (Audio.Open() && PendingWave[0] != '\0')
            Audio.Play(PendingWave);
    }
}

void GlutPlatform::SetIdle(bool running) {
    glutIdleFunc(running ? Idle : nullptr);
}

void GlutPlatform::PlayWave(const char* path) {
    if (AudioStarted) {
        Audio.Play(path);
        return;
    }
    // Before the device is open only the last sound asked for is kept (each new one cuts off the last); a
    // path too long to keep would give silence anyway.
    if (!path || std::snprintf(PendingWave, sizeof PendingWave, "%s", path) >= int(sizeof PendingWave))
        PendingWave[0] = '\0';
}

void GlutPlatform::Exit(int status) {
    Audio.Close();
    std::exit(status);
}

const char* GlutPlatform::DesktopDpi() {
    // freeglut keeps its display to itself; the window's context is current on it.
    return ReadDesktopDpi(CurrentGlxDisplay(), Dpi, sizeof Dpi);
}
