#pragma once

#include <cstdio>

// The program's own arguments, answered before any window opens and without a display: --help (or -h)
// and --version. Every other argument belongs to GLUT (-display, -geometry, -sync, ...) and reaches it
// unchanged.

// The usage text that --help prints.
const char* UsageText();

// Writes the usage or the version to `out` when the command line asks for one. Returns the exit status
// then (0, or 1 when the text could not be written), and -1 when the program should run.
int AnswerCommandLine(int argc, const char* const* argv, std::FILE* out);
