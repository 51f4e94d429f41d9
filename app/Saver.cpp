#include "app/Saver.h"

#include "app/Globals.h"
#include "app/Opening.h"
#include "app/Settings.h"
#include "app/SoundPlayer.h"

#include <cstdio>
#include <cstring>

namespace {

// X resource ids use the low 29 bits; 0 names no window.
constexpr unsigned long MaxWindowId = 0x1FFFFFFFul;

// "-name" and "--name" are the same option.
bool IsOption(const char* argument, const char* name) {
    if (argument[0] != '-')
        return false;
    const char* rest = argument[1] == '-' ? argument + 2 : argument + 1;
    return std::strcmp(rest, name) == 0;
}

int DigitValue(char c, int base) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (base == 16 && c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (base == 16 && c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// A window id as X tools print it (0x1a00005) or in decimal, digits only.
bool ParseWindowId(const char* text, unsigned long& id) {
    int base = 10;
    if (text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text += 2;
    }
    unsigned long value = 0;
    for (const char* c = text; *c != '\0'; ++c) {
        const int digit = DigitValue(*c, base);
        if (digit < 0)
            return false;
        value = value * unsigned(base) + unsigned(digit);
        if (value > MaxWindowId)
            return false;
    }
    if (text[0] == '\0' || value == 0)
        return false;
    id = value;
    return true;
}

} // namespace

SaverOptions ReadSaverOptions(int argc, const char* const* argv, const char* environmentWindow) {
    SaverOptions options;
    // Which window: the command line's before the environment's, either before the root window.
    const char* windowText = environmentWindow && environmentWindow[0] != '\0' ? environmentWindow : nullptr;
    const char* windowSource = "XSCREENSAVER_WINDOW";
    int root = 0;
    for (int i = 1; i < argc; ++i) {
        if (IsOption(argv[i], "window-id")) {
            windowText = i + 1 < argc ? argv[++i] : "";
            windowSource = "-window-id";
        } else if (IsOption(argv[i], "root")) {
            root = 1;
        }
    }
    if (!windowText && !root)
        return options;
    options.Chosen = 1;
    if (windowText && !ParseWindowId(windowText, options.Window))
        std::snprintf(options.Error, sizeof options.Error,
                      "%s: %s takes a window id, in hex as 0x1a00005 or in decimal, not \"%s\"\n",
                      ProgramName, windowSource, windowText);

    for (int i = 1; i < argc; ++i) {
        const char* argument = argv[i];
        if (IsOption(argument, "window-id")) {
            ++i;
        } else if (IsOption(argument, "root")) {
            continue;
        } else if (IsOption(argument, "display") && i + 1 < argc) {
            options.Display = argv[++i];
        } else if (IsOption(argument, "fps")) {
            options.FpsClock = 1;
        } else if (IsOption(argument, "globes")) {
            const char* count = i + 1 < argc ? argv[++i] : "";
            if (count[0] >= '1' && count[0] <= '3' && count[1] == '\0')
                options.Globes = count[0] - '0';
            else
                std::fprintf(stderr, "%s: -globes takes 1, 2 or 3, not \"%s\"; ignored\n", ProgramName,
                             count);
        } else {
            std::fprintf(stderr, "%s: unknown option \"%s\" ignored\n", ProgramName, argument);
        }
    }
    return options;
}

void BecomeSaver(const SaverOptions& options) {
    SaverMode = 1;
    EndOpening();
    // Nobody listens to a screensaver: no sound plays, none waits its turn.
    Sound.Enabled = 0;
    Sound.QueueCount = 0;
    Settings.FpsClock = options.FpsClock;
    if (options.Globes != 0)
        GlobeCount = options.Globes;
}
