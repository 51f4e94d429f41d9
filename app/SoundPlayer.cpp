#include "app/SoundPlayer.h"

#include "app/DataFiles.h"
#include "platform/Platform.h"

#include <cstdio>

// The host's counter in seconds. It wraps after about 24.8 days; reading it through the difference of
// successive values keeps the sound timing going across the wrap.
float SoundPlayer::HostSeconds() {
    const uint32_t ms = static_cast<uint32_t>(Host->ElapsedMs());
    const int32_t step = static_cast<int32_t>(ms - LastMs);
    LastMs = ms;
    if (step > 0)
        RunMs += step;
    return float(double(RunMs) * 0.001);
}

void SoundPlayer::Play(const char* name, float duration, int force, int queue) {
    if (!Enabled)
        return;
    const float now = HostSeconds();
    if (BusyUntil < now || force == 1) {
        BusyUntil = now + duration;
        LastEnd = BusyUntil;
        Host->PlayWave(FindDataFile(name, "that sound stays silent"));
        Playing = 1;
    } else if (queue == 1 && QueueCount < MaxQueued) {
        std::snprintf(QueuedName[QueueCount], sizeof QueuedName[QueueCount], "%s", name);
        QueuedDuration[QueueCount] = duration;
        ++QueueCount;
    }
}

int SoundPlayer::Update() {
    if (!Enabled)
        return 0;
    const float now = HostSeconds();
    if (QueueCount != 0 && BusyUntil < now) {
        --QueueCount;
        Play(QueuedName[QueueCount], QueuedDuration[QueueCount], 1, 1);
        return 1;
    }
    if (BusyUntil + 2.0f < now) {
        BusyUntil = 0.0f;
        Playing = 0;
    }
    return 0;
}
