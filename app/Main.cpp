#include "app/CommandLine.h"
#include "app/FrameLoop.h"
#include "app/Globals.h"
#include "app/ScreenView.h"
#include "app/Startup.h"
#include "platform/GlutPlatform.h"

int main(int argc, char** argv) {
    if (const int status = AnswerCommandLine(argc, argv, stdout); status >= 0)
        return status;
    static GlutPlatform glut; // destroyed before the program's static objects
    Host = &glut;
    glut.OpenWindow(&argc, argv, View.Width, View.Height, ProgramName);
    glut.RegisterCallbacks(ProgramCallbacks());
    InitGL();
    ConsoleWrite("Ready...\n\n");
    glut.MainLoop();
}
