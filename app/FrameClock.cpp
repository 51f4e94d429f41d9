#include "app/FrameClock.h"

void FrameClock::Tick(int elapsedMs) {
    // Unsigned difference: correct across the counter's wrap, and a counter that goes backwards shows up
    // as a huge step that the stall rule turns into one short frame, so a step is never negative.
    uint32_t stepMs = static_cast<uint32_t>(elapsedMs) - LastMs;
    LastMs = static_cast<uint32_t>(elapsedMs);
    ElapsedMs = elapsedMs;
    if (stepMs > uint32_t(MaxFrameMs)) {
        StallMs -= int64_t(stepMs) - StallFrameMs;
        stepMs = StallFrameMs;
    }
    RunMs += stepMs;
    FrameTime = float(stepMs) * 0.001f;
    Offset = float(double(StallMs) * 0.001);
    Now = float(double(RunMs) * 0.001);
    Previous = Now;
}
