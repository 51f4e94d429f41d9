#include "app/FrameLoop.h"
#include "app/Globals.h"
#include "app/ScreenView.h"
#include "app/Startup.h"
#include "platform/GlutPlatform.h"

int main(int argc, char** argv) {
    static GlutPlatform glut; // destroyed before the program's static objects
    Host = &glut;
    glut.OpenWindow(&argc, argv, View.Width, View.Height, ProgramName);
    glut.RegisterCallbacks(ProgramCallbacks());
    InitGL();
    ConsoleWrite("Ready...\n\n");
    glut.MainLoop();
}
