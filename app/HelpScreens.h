#pragma once

// The two pages of text that can lie over the running scene, drawn every frame with ScreenText in overlay
// units over the whole window. Neither keeps any state: each is a function of the window size alone.

// One block of the help card's lines, top to bottom.
struct HelpBlock {
    const char* const* Lines;
    int Count;
};

// The help card's text: block 0 the program's own controls, block 1 the standard ones (ending in the
// notice lines); any other index is empty. ShowHelp draws exactly these lines, and the README quotes them.
constexpr int HelpCardBlockCount = 2;
HelpBlock HelpCardBlock(int index);

// The reference card of every key and button, in ScreenText's current colour and style. In a short window
// its lower lines fall below the bottom edge.
void ShowHelp();

// What the program is and how the mouse and arrow keys drive it, under the given title. Leaves ScreenText
// white, with wobble and wave off.
void ShowInfo(const char* title);
