#pragma once

#include <cstdint>

// The one clock that drives all animation. It turns the host's millisecond counter into seconds and a
// per-frame step, and hides stalls: a gap of more than 0.1 s counts as a single frame of 0.05 s, so the
// scene never jumps. Frame steps are taken from the integer counter, so they stay exact however long the
// program runs, and across the counter's wrap after about 24.8 days.
class FrameClock {
public:
    static constexpr int MaxFrameMs = 100;  // a longer step is a stall
    static constexpr int StallFrameMs = 50; // what a stall counts as

    virtual ~FrameClock() = default;

    // Reads the counter once; called at the start of every frame.
    void Tick(int elapsedMs);

    float Now = 0.0f;       // seconds: the counter's time less every stall
    float FrameTime = 0.0f; // seconds since the previous tick, at most 0.1
    float Previous = 0.0f;  // Now of the previous tick
    float Offset = 0.0f;    // seconds taken off Now by stalls (never positive)
    int ElapsedMs = 0;      // the counter at the last tick; also the random seed

private:
    int64_t RunMs = 0;   // Now in whole milliseconds, unwrapped
    uint32_t LastMs = 0; // the counter at the previous tick, as it wraps
    int64_t StallMs = 0; // Offset in whole milliseconds
};

extern FrameClock Clock;
