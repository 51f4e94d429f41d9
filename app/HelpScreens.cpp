#include "app/HelpScreens.h"

#include "app/Globals.h"
#include "app/ScreenView.h"
#include "ui/OverlayText.h"

#include <iterator>

namespace {

constexpr int HelpX = 30;
constexpr float HelpSize = 9.0f;
constexpr int HelpLineStep = 15;

const char* const SpecialControls[] = {
    "Special Controls for this (32 bitcolor) simulation:",
    "           1-3  Adjust # of Globes",
    "            []  Adjust Object Size",
    "    <Home/End>  Adjust Arc Thickness",
    "   <LeftButton> Move Forward",
    " <MiddleButton> Apply Brakes",
    "`/<RightButton> Toggle Current Popup Menu",
    "    <MouseX/Y>  Rotate LookAt Direction",
    "     <Up/Down>  Move Forward/Back, precede with <Alt> for 10x)",
    "  <Left/Right>  Move Left/Right",
    "       <F1/F2>  Adjust Motion Damping (Brake/Drag)",
    "     <F11/F12>  Adjust Screen Fade Effect (0-1)",
    "     <control>+ Convert ArrowKey x/z to x/y temporarily",
    "         <alt>+ Enable 10x Thrust, <alt>+Arrows",
};

const char* const StandardControls[] = {
    "Standard Controls in most simulations where applicable:",
    "  unshifted -+  Adjust Universe Rotate Speed",
    "    shift   ()  Adjust Light Rotate Speed",
    "  unshifted <>  Adjust Screen Magnification",
    "    shift   {}  Adjust Closeness (Camera Z)",
    "    shift   <>  Adjust Tesselation",
    "             c  Clock: Toggle Frame-Per-Seconds",
    "             f  FullScreen/Window Toggle",
    "             l  Letterbox: Adjust Size 0-6",
    "             p  Pause: Toggle On/Off",
    "    <ESC> or q  EXIT after fade, hit twice for quick exit",
    "             r  Reset/Randomize all parameters              ",
    "             s  Spotlite: Toggle On-Off",
    "             t  Texture:  Toggle On-Off",
    "             u  Universe: Toggle Stars On/Off",
    "             v  View: Toggle Camera Movement: Auto/Manual/Hold",
    "             w  Wireframe/Points/Polygon Mode Toggle",
    "     shift   !  Save Preferences",
    "     shift   @  Load Preferences",
    "       <SPACE>  Toggle Hyperspace",
    "   -------------------------------------------------------- ",
    "   Tovi: plasma globes with OpenGL 1.1, GLU and freeglut",
    "   Text in DejaVu Sans Mono Bold, a freely licensed font",
    "   <?> to return",
};

// One line of the info screen: its colour, its indent from the title and its drop below the first line.
struct InfoLine {
    float Red, Green, Blue;
    int Indent;
    int Drop;
    const char* Text;
};

constexpr int HeadingIndent = 10;
constexpr int BodyIndent = 30;

const InfoLine InfoLines[] = {
    {0.0f, 1.0f, 0.0f, HeadingIndent, 0, "Basics:"},
    {1.0f, 1.0f, 1.0f, BodyIndent, 30, "Lumenfest-Plasma Balls entry"},
    {1.0f, 1.0f, 1.0f, BodyIndent, 60, "Navigable opening logo w/ mouselook and arrow keys"},
    {1.0f, 1.0f, 1.0f, BodyIndent, 90, "Logo includes a lightmap, shadow, reflection and animation"},
    {1.0f, 1.0f, 1.0f, BodyIndent, 120,
     "App customizable with ~30 adjustable parameters, savable in preference file"},
    {0.0f, 1.0f, 0.0f, HeadingIndent, 160, "Controls:"},
    {1.0f, 1.0f, 1.0f, BodyIndent, 190,
     "Arrow keys fly and slide, <Alt> for 10x thrust, <Ctrl> to rise/sink"},
    {1.0f, 1.0f, 1.0f, BodyIndent, 220, "Click <LeftMouseButton> to move forward (like upArrowKey)"},
    {1.0f, 1.0f, 1.0f, BodyIndent, 250, "Click <MiddleMouseButton> to apply brake"},
    {1.0f, 1.0f, 1.0f, BodyIndent, 280, "Click <RightMouseButton> to toggle the current popup menu"},
    {1.0f, 1.0f, 1.0f, BodyIndent, 310, "Select Popups or 'P' to pause"},
    {1.0f, 1.0f, 1.0f, BodyIndent, 340, "Press '?' for more info on keyboard controls"},
};

// Draws the lines of one help block downward from y, a line every HelpLineStep pixels.
void DrawHelpBlock(const HelpBlock& block, int y) {
    for (int k = 0; k < block.Count; ++k)
        ScreenText.Draw(block.Lines[k], float(HelpX), float(y - HelpLineStep * k), HelpSize);
}

} // namespace

HelpBlock HelpCardBlock(int index) {
    if (index == 0)
        return {SpecialControls, int(std::size(SpecialControls))};
    if (index == 1)
        return {StandardControls, int(std::size(StandardControls))};
    return {nullptr, 0};
}

void ShowHelp() {
    const int titleY = int(0.92 * View.OverlayHeight());
    ScreenText.Draw(ProgramName, 20.0f, float(titleY), 15.0f);
    const int firstY = int(titleY - 22.5);
    DrawHelpBlock(HelpCardBlock(0), firstY);
    DrawHelpBlock(HelpCardBlock(1), int((firstY - 210) - 4.5));
}

void ShowInfo(const char* title) {
    const int titleX = int(0.25 * View.OverlayWidth());
    const int titleY = int(0.95 * View.OverlayHeight());
    ScreenText.SetColor(1.0f, 1.0f, 0.0f);
    ScreenText.WobbleOn = 0;
    ScreenText.WaveOn = 1;
    ScreenText.Draw(title, float(titleX), float(titleY), 30.0f);
    ScreenText.WobbleOn = 0;
    ScreenText.WaveOn = 0;

    const int firstY = int(titleY - 42.0);
    for (const InfoLine& line : InfoLines) {
        ScreenText.SetColor(line.Red, line.Green, line.Blue);
        ScreenText.Draw(line.Text, float(titleX + line.Indent), float(firstY - line.Drop), 10.0f);
    }
}
