#pragma once

// Live values of the running program that are not stored in the preferences file.

extern int Paused;          // camera oscillators and manual motion stop
extern int MenuShown;       // popup menu visible
extern int HelpShown;       // help card drawn
extern int InfoShown;       // info screen drawn
extern int ExitState;       // 0 running, 1 capture pending, 2 shattering
extern float ExitStartTime; // Clock.Now when the exit fade began; 0 while running
extern int GlobeCount;      // globes drawn, 1..3
extern int BlendFunc0;      // source blend selector of the arcs, 0..8
extern int BlendFunc1;      // destination blend selector of the arcs, 0..7
extern int ValueN;
extern int ValueN2;
extern int LetterboxPhase;  // the L key's place in its ping-pong: 0..6 rising, -5..-1 falling; kept by resets
extern int VarsInitialised; // the first InitVars has run; later ones skip the preferences file
extern int GlErrorCount;    // OpenGL errors seen by the frame loop
extern int SaverMode;       // a screensaver: the picture alone, at most the clock over it, a quiet console

extern const char* const ProgramName; // window title and base name of the preferences file
constexpr float SceneScale = 1.0f;    // the unit of the scene
extern const float FogColor[4];

// Writes a progress line to the console at once (the console may be a pipe); nothing in a screensaver.
void ConsoleWrite(const char* text);
