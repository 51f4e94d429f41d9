#pragma once

// Tovi as a screensaver: it draws into a window that a screensaver daemon or a screen locker hands it (in
// the environment variable XSCREENSAVER_WINDOW, or with -window-id), or onto the root window (-root). The
// picture is the globe scene alone, the camera wandering by itself; nothing is heard and nothing is written.

// What the command line and the environment ask of a screensaver run.
struct SaverOptions {
    static constexpr int MaxErrorBytes = 200;

    int Chosen = 0;                 // run as a screensaver
    unsigned long Window = 0;       // the window to draw into; 0 for the root window
    const char* Display = nullptr;  // -display NAME; null for the one DISPLAY names
    int Globes = 0;                 // -globes N, 1 to 3; 0 keeps the count the program starts with
    int FpsClock = 0;               // -fps: the frame-rate clock in the corner
    char Error[MaxErrorBytes] = {}; // why the window cannot be drawn into (an id that is none); "" if fine
};

// Saver mode is chosen by -window-id ID (hex after 0x, or decimal), else by the window id in
// environmentWindow (the value of XSCREENSAVER_WINDOW; null or "" when unset), else by -root. Without any
// of them the program is the interactive one and nothing here reads the command line (GLUT does). In saver
// mode every argument not understood is ignored with one line on stderr. An option may start with - or --.
SaverOptions ReadSaverOptions(int argc, const char* const* argv, const char* environmentWindow);

// Turns the started program (after InitGL) into the screensaver: the globe scene from the first frame
// with the camera wandering by itself, no overlay but the frame-rate clock when asked for, no sound.
// Settings read from Tovi.pref stay, apart from the camera mode and the clock.
void BecomeSaver(const SaverOptions& options);
