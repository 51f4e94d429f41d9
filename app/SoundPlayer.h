#pragma once

#include <cstdint>

// Fire-and-forget wave sounds, one at a time. A sound plays when nothing else is playing or when it is
// forced (cutting off the one playing); otherwise it may wait on a small stack that the frame loop serves
// once the running sound has had its time. Durations are the callers' estimates of each sound's length.
class SoundPlayer {
public:
    static constexpr int MaxQueued = 19;
    static constexpr int MaxNameBytes = 80;

    virtual ~SoundPlayer() = default;

    void Play(const char* name, float duration, int force, int queue);

    // Starts the sound queued last once the running one has ended: 1 when it started one, else 0.
    int Update();

    int QueueCount = 0;
    int Enabled = 0;        // master switch; start-up turns it on
    int Playing = 0;        // a sound started and its time plus two seconds has not passed
    float BusyUntil = 0.0f; // seconds on the host's counter (not corrected for stalls); 0 when idle
    float QueuedDuration[MaxQueued] = {};
    float LastEnd = 0.0f; // end time of the last sound started; kept after BusyUntil is reset
    char QueuedName[MaxQueued][MaxNameBytes] = {};

private:
    float HostSeconds();

    int64_t RunMs = 0;   // the host's counter, unwrapped
    uint32_t LastMs = 0; // the host's counter at the last reading
};

extern SoundPlayer Sound;
