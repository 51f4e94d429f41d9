#include "app/Saver.h"

#include "app/Globals.h"
#include "app/Opening.h"
#include "app/Settings.h"
#include "app/SoundPlayer.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
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

// A window id as X tools print it (0x1a00005) or in decimal, digits only (no sign, no spaces).
bool ParseWindowId(const char* text, unsigned long& id) {
    const bool hex = text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const char* digits = hex ? text + 2 : text;
    const char* allowed = hex ? "0123456789abcdefABCDEF" : "0123456789";
    if (digits[0] == '\0' || digits[std::strspn(digits, allowed)] != '\0')
        return false;
    errno = 0;
    const unsigned long value = std::strtoul(digits, nullptr, hex ? 16 : 10);
    if (errno != 0 || value == 0 || value > MaxWindowId)
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
