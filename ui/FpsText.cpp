#include "ui/FpsText.h"

void FpsText::Tick(float now) {
    ++FrameCount;
    // The windows advance by whole seconds from 0, not from the frame that closes them.
    if (!(now < NextTick)) {
        NextTick += 1.0;
        Fps = FrameCount;
        FrameCount = 0;
    }
}
