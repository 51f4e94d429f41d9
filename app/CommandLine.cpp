#include "app/CommandLine.h"

#include <cstring>

// TOVI_VERSION: the version of the build; TOVI_INSTALLED_DATA_DIR: the data folder of an install into the
// prefix the build was configured for.
const char* UsageText() {
    return "Usage: tovi [GLUT option]...\n"
           "       tovi -root | -window-id ID [-globes N] [-fps]\n"
           "       tovi --help | -h | --version\n"
           "\n"
           "Tovi: plasma globes drifting through a star field, a real-time 3-D graphics piece. It\n"
           "opens full screen on a logo scene; a left click moves on to the globes. The ? key shows\n"
           "the help card of every control, Esc or q quits.\n"
           "\n"
           "  -h, --help         print this text and exit\n"
           "  --version          print the name and version and exit\n"
           "Every other argument goes to GLUT unchanged, for example:\n"
           "  -display DISPLAY   the X display to open instead of $DISPLAY\n"
           "  -geometry WxH+X+Y  accepted; the window opens full screen, and f makes it 600 x 600\n"
           "  -sync              synchronous X calls, for debugging\n"
           "\n"
           "As a screensaver, chosen by -window-id, -root or $XSCREENSAVER_WINDOW, it shows the globes\n"
           "alone, silent, printing nothing but errors, until SIGTERM, SIGINT or SIGHUP ends it (it then\n"
           "dies of that signal) or its window goes:\n"
           "  -window-id ID      draw into this window (hex as 0x1a00005, or decimal)\n"
           "  -root              draw on the root window\n"
           "  -globes N          1, 2 or 3 globes\n"
           "  -fps               the frame-rate clock\n"
           "\n"
           "Images and sounds are looked for in the working directory, beside the program, in\n"
           "../share/tovi beside the program's folder and in " TOVI_INSTALLED_DATA_DIR ".\n"
           "The settings (keys ! and @) are kept in Tovi.pref in the working directory.\n";
}

int AnswerCommandLine(int argc, const char* const* argv, std::FILE* out) {
    for (int i = 1; i < argc; ++i) {
        const char* text = nullptr;
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0)
            text = UsageText();
        else if (std::strcmp(argv[i], "--version") == 0)
            text = "Tovi " TOVI_VERSION "\n";
        else
            continue;
        if (std::fputs(text, out) >= 0 && std::fflush(out) == 0)
            return 0;
        // A full disk or a closed pipe: the answer did not arrive.
        std::perror("tovi: cannot write to standard output");
        return 1;
    }
    return -1;
}
