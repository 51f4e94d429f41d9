#include "app/Globals.h"

#include <cstdio>

int Paused = 0;
int MenuShown = 0;
int HelpShown = 0;
int InfoShown = 0;
int ExitState = 0;
float ExitStartTime = 0.0f;
int GlobeCount = 1;
int BlendFunc0 = 2;
int BlendFunc1 = 1;
int ValueN = 2;
int ValueN2 = 3;
int LetterboxPhase = 0;
int VarsInitialised = 0;
int GlErrorCount = 0;
int SaverMode = 0;

const char* const ProgramName = "Tovi";
const float FogColor[4] = {0.0f, 0.0f, 0.0f, 1.0f};

// A screensaver's console is its daemon's log, the user's session log: it is left to errors.
void ConsoleWrite(const char* text) {
    if (SaverMode)
        return;
    std::fputs(text, stdout);
    std::fflush(stdout);
}
