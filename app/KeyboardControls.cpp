#include "app/KeyboardControls.h"

#include "app/FrameClock.h"
#include "app/Globals.h"
#include "app/ScreenView.h"
#include "app/SoundPlayer.h"
#include "platform/Platform.h"
#include "render/InputState.h"

namespace {

// The first press starts the shattering fade-out; a second one ends the program on the next frame.
void Quit() {
    if (ExitStartTime == 0.0f) {
        ExitStartTime = Clock.Now;
        Sound.Play("hit.wav", 0.5f, 1, 0);
        ExitState = 1;
        HelpShown = 0;
    } else {
        ExitStartTime = Clock.Now - 5.0f;
    }
}

} // namespace

void OnKeyboard(unsigned char key, int, int) {
    // Any key cancels a pending full clear, unless its own action asks for one again.
    View.ClearFrames = 0;
    Keys.KeyDown(key, Host->Modifiers());
    switch (key) {
    case 27:
    case 'Q':
    case 'q':
        Quit();
        break;
    default:
        break;
    }
}
