#pragma once

struct _XDisplay; // Xlib's Display

// The value of the X resource Xft.dpi on the display, copied into text (at most size - 1 bytes), or null
// when the display's resources do not set it.
const char* ReadDesktopDpi(_XDisplay* display, char* text, int size);

// The display of the current OpenGL context, or null without one.
_XDisplay* CurrentGlxDisplay();
