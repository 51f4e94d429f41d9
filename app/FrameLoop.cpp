#include "app/FrameLoop.h"

#include "app/FrameClock.h"
#include "app/Globals.h"
#include "app/HelpScreens.h"
#include "app/KeyboardControls.h"
#include "app/Opening.h"
#include "app/PointerControls.h"
#include "app/ScreenView.h"
#include "app/Settings.h"
#include "app/SoundPlayer.h"
#include "platform/Platform.h"
#include "render/Camera.h"
#include "render/InputState.h"
#include "render/MathUtil.h"
#include "render/Texture.h"
#include "scene/OscillatorBank.h"
#include "scene/Universe.h"
#include "ui/DialogStack.h"
#include "ui/OverlayText.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace {

// The overlay, in overlay units over the whole window.
void DrawOverlays() {
    if (ExitState != 2) {
        StatusLine.DrawIfShown();
        // An open menu takes input; a closing one only fades and slides out.
        if (MenuShown)
            Dialogs.Run();
        else if (Dialogs.Visibility != 0.0f)
            Dialogs.DrawMenu();
        if (InfoShown)
            ShowInfo(ProgramName);
    }
    // The title slides from left to right across the top during the first ten seconds.
    if (Clock.Now < 10.0f)
        TitleText.Draw(ProgramName, (Clock.Now - 2.0f) / 7.5f * float(View.OverlayWidth()),
                       0.9f * float(View.OverlayHeight()), 30.0f);
    if (ExitState == 2) {
        // The falling tiles are the last picture, window pixel for window pixel.
        View.BeginOrtho();
        DrawShatter();
        View.BeginOverlay();
    }
}

// Counts the frame's OpenGL error and keeps its text; debug builds show it at the top of the window.
void CheckGlError() {
    const GLenum error = glGetError();
    if (error != GL_NO_ERROR) {
        ++GlErrorCount;
        char text[61];
        const GLubyte* description = gluErrorString(error);
        std::snprintf(text, sizeof text, "%s",
                      description ? reinterpret_cast<const char*>(description) : "?");
        ErrorText.ShowFormatted("OpenGL Error: %s", text);
    }
#ifndef NDEBUG
    ErrorText.DrawIfShown();
#endif
}

// Clears the colour buffer to black on two consecutive frames, one for each buffer of the window.
void ServeClearRequest() {
    if (View.ClearFrames == 1 || View.ClearFrames == 2) {
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        glClearColor(View.ClearColor[0], View.ClearColor[1], View.ClearColor[2], 1.0f);
        ++View.ClearFrames;
    }
    if (View.ClearFrames == 3)
        View.ClearFrames = 0;
}

// The end of the run, at once: after the fade-out, or when the window system asks for it (a signal, or
// the window gone).
void OnClose() {
    Shutdown();
    ConsoleWrite("Fin\n\n");
    Host->Exit(0);
}

// The window was last reported unmapped, minimised or wholly covered: no frame drawn there is seen.
bool WindowUnseen = false;

// Ends the program once two seconds have passed since the quit key (at once after a second one). Returns
// false when the program has ended.
bool EndExitWhenDue() {
    if (ExitStartTime == 0.0f || Clock.Now - ExitStartTime <= 2.0f)
        return true;
    OnClose();
    return false;
}

// The fade in from black over the first two seconds, and the fade out after a quit key, which ends the
// program once two seconds have passed. Returns false when the program has ended.
bool FadeScreen() {
    if (Clock.Now < 2.0f)
        View.Fade(1.0f - Clock.Now / 2.0f);
    else if (ExitStartTime != 0.0f)
        View.Fade((Clock.Now - ExitStartTime) / 2.0f);
    // Checked during the fade-in too, so that a second quit key ends the program on the next frame.
    return EndExitWhenDue();
}

void OnDisplay() {
    DisplayFrame();
    Host->SwapBuffers();
}

// A window no one sees keeps its idle handler only while an exit runs (OnWindowStatus). No frames are
// drawn then, so the handler keeps the clock itself and the program still ends on time, with a short
// sleep between its turns instead of a busy loop.
void OnIdle() {
    if (!WindowUnseen) {
        Host->PostRedisplay();
        return;
    }
    Clock.Tick(Host->ElapsedMs());
    if (EndExitWhenDue())
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

// Nothing of a hidden or wholly covered window can be seen, so the idle handler stops asking for frames
// and the main loop sleeps until the window system reports a change. The first frame after that meets a
// long step, which the clock counts as one short frame: the scene carries on where it was. An exit under
// way keeps the idle handler, which ends the program on time.
void OnWindowStatus(int state) {
    WindowUnseen = state == WindowHidden || state == WindowFullyCovered;
    Host->SetIdle(!WindowUnseen || ExitStartTime != 0.0f);
}

void OnReshape(int width, int height) {
    const int oldHeight = View.OverlayHeight();
    View.Reshape(width, height);
    Mouse.Reshape(width, height, Settings, MenuShown);
    // Menu rows are laid out from the window's height in overlay units; rebuild the page in place (focus,
    // origin and the stack kept) so the menu sits where this window puts it, not where the first, smaller
    // one did.
    if (View.OverlayHeight() != oldHeight && Dialogs.CurrentMenu >= 0)
        Dialogs.BuildMenu(Dialogs.CurrentMenu, 0);
}

} // namespace

void DisplayFrame() {
    glFogfv(GL_FOG_COLOR, FogColor);
    Clock.Tick(Host->ElapsedMs());
    // About one frame in a hundred re-seeds the generator from the millisecond clock.
    if (RandomFloat(1.0) < 0.01)
        std::srand(unsigned(Clock.ElapsedMs));

    if (!Paused) {
        MainCamera.AngleWander->Advance(Clock.FrameTime, Settings.RotateSpeed);
        MainCamera.PositionWander->Advance(Clock.FrameTime, Settings.MoveSpeed);
    }
    ArcWaveBank.Advance(Clock.FrameTime, Settings.MainSpeed);
    TextWaveBank.Advance(Clock.FrameTime, Settings.MainSpeed);
    FpsDisplay.Tick(Clock.Now);
    StatusLine.Y = float(View.OverlayHeight() - 20);

    if (ExitState == 1) {
        CaptureScreen(256, ExitTexture.Name);
        ExitState = 2;
        View.ClearFrames = 1;
    }

    // The overlays draw over the whole window, and trails never clear it: paint the letterbox bands black
    // again, so that nothing of an earlier frame stays in them.
    if (Settings.Letterbox != 0) {
        View.SetLetterbox(0);
        View.ApplyViewport();
        View.BeginOrtho();
        View.SetLetterbox(Settings.Letterbox);
        View.DrawLetterboxBars();
    }
    ServeClearRequest();

    View.SetLetterbox(Settings.Letterbox);
    View.ApplyViewport();
    View.BeginOrtho();
    if (Settings.ScreenClear == 0 && Settings.FadeEffect < 1.0f)
        View.Fade(Settings.FadeEffect * Clock.FrameTime * 40.0f); // trails: the last pictures fade out
    View.ClearScreen();
    ApplyPolygonMode(Settings);
    View.BeginPerspective();
    ApplyCamera();
    DrawScene();

    // The overlay covers the whole window, in overlay units; the fades, in window pixels.
    View.SetLetterbox(0);
    View.ApplyViewport();
    View.BeginOverlay();
    if (!SaverMode) {
        DrawOverlays();
        if (HelpShown)
            ShowHelp();
    }
    if (Settings.FpsClock)
        FpsDisplay.Draw();
    CheckGlError();
    View.BeginOrtho();

    if (!FadeScreen())
        return;
    Sound.Update();

    // Key codes and button edges are seen by exactly one frame.
    Keys.EndFrame();
    Mouse.EndFrame();
}

void Shutdown() {
    ConsoleWrite("\nShutting down...\n");
    Universe.Release();
}

WindowCallbacks ProgramCallbacks() {
    WindowCallbacks callbacks;
    callbacks.Display = OnDisplay;
    callbacks.Idle = OnIdle;
    callbacks.Keyboard = OnKeyboard;
    callbacks.Motion = OnMotion;
    callbacks.Mouse = OnMouse;
    callbacks.Reshape = OnReshape;
    callbacks.Special = OnSpecial;
    callbacks.SpecialUp = OnSpecialUp;
    callbacks.WindowStatus = OnWindowStatus;
    callbacks.Close = OnClose;
    return callbacks;
}
