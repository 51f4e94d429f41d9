#include "app/CommandLine.h"
#include "app/FrameLoop.h"
#include "app/Globals.h"
#include "app/Saver.h"
#include "app/ScreenView.h"
#include "app/Startup.h"
#include "platform/GlutPlatform.h"
#include "platform/XlibPlatform.h"

#include <cstdio>
#include <cstdlib>

// The overlay's scale, as the user or the desktop asks for it; once the host has its display open.
static void ChooseScale() {
    View.OverlayScale =
        ChooseOverlayScale(std::getenv("TOVI_SCALE"), Host->DesktopDpi(), std::getenv("GDK_SCALE"));
}

// The screensaver: the same program on the Xlib host, in the window it was given.
static int RunSaver(const SaverOptions& options) {
    static XlibPlatform x; // destroyed before the program's static objects
    Host = &x;
    if (options.Error[0] != '\0' || !x.Open(ProgramName, options.Display, options.Window)) {
        std::fputs(options.Error, stderr);
        return 1;
    }
    ChooseScale();
    x.RegisterCallbacks(ProgramCallbacks());
    SaverMode = 1; // quiet from the start
    InitGL();
    BecomeSaver(options);
    ConsoleWrite("Ready...\n\n");
    x.MainLoop();
}

int main(int argc, char** argv) {
    if (const int status = AnswerCommandLine(argc, argv, stdout); status >= 0)
        return status;
    if (const SaverOptions saver = ReadSaverOptions(argc, argv, std::getenv("XSCREENSAVER_WINDOW"));
        saver.Chosen)
        return RunSaver(saver);
    static GlutPlatform glut; // destroyed before the program's static objects
    Host = &glut;
    glut.OpenWindow(&argc, argv, View.Width, View.Height, ProgramName);
    ChooseScale();
    glut.RegisterCallbacks(ProgramCallbacks());
    InitGL();
    ConsoleWrite("Ready...\n\n");
    glut.MainLoop();
}
