// The sound queue: one sound at a time, forced sounds cut in, queued ones wait their turn. (The oscillator
// banks that all random motion comes from are seen where they move things: the camera, globe, light and
// text tests.)

#include "app/SoundPlayer.h"
#include "support/FakePlatform.h"

#include <gtest/gtest.h>
#include <string>

namespace {

TEST(SoundPlayerTest, ForcedSoundsCutInOthersAreDroppedOrWaitOnAStack) {
    FakePlatform fake;
    Host = &fake;
    SoundPlayer sound;
    sound.Play("muted.wav", 1.0f, 1, 1); // nothing before sounds are switched on
    sound.Enabled = 1;
    fake.NowMs = 10000;
    sound.Play("hit.wav", 0.5f, 1, 0);
    fake.NowMs = 10250;
    sound.Play("dropped.wav", 1.0f, 0, 0);
    sound.Play("queued.wav", 0.25f, 0, 1);
    sound.Play("forced.wav", 0.25f, 1, 0); // busy until 10.5 s now
    EXPECT_EQ(std::make_tuple(sound.BusyUntil, sound.LastEnd, sound.QueueCount),
              std::make_tuple(10.5f, 10.5f, 1));
    fake.NowMs = 10490;
    EXPECT_EQ(sound.Update(), 0);
    fake.NowMs = 10510;
    EXPECT_EQ(sound.Update(), 1);
    EXPECT_EQ(fake.Waves, (std::vector<std::string>{"hit.wav", "forced.wav", "queued.wav"}));
}

} // namespace
