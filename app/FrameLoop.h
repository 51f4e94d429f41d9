#pragma once

struct WindowCallbacks;

// One frame of the whole program; the display callback runs it and then swaps the buffers.
void DisplayFrame();

// The scene of one frame, after the camera transform.
void DrawScene();

// Seconds since the glow texture was last animated.
extern float TextureAnimTimer;

// Last words on the console and release of what the GL context holds.
void Shutdown();

// The program's handlers for the window system, in the order they are registered.
WindowCallbacks ProgramCallbacks();
