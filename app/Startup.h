#pragma once

// Fixed OpenGL state and every one-time initialisation; called once after the window exists.
void InitGL();

// Images, sounds and the links between the long-lived objects.
void InitOnce();

// Every setting and live value back to its default. The first call also reads the preferences file;
// later calls (resets) do not.
void InitVars();
