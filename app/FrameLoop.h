#pragma once

struct WindowCallbacks;

// One frame of the whole program; the display callback runs it and then swaps the buffers.
void DisplayFrame();

// Last words on the console and release of what the GL context holds.
void Shutdown();

// The program's handlers for the window system, in the order they are registered.
WindowCallbacks ProgramCallbacks();
