// The sound queue: one sound at a time, forced sounds cut in, queued ones wait on a stack of nineteen.

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

    // Twenty more while busy: the twentieth is dropped, the others play last in, first out.
    for (int i = 0; i < 20; ++i)
        sound.Play(("q" + std::to_string(i) + ".wav").c_str(), 0.125f, 0, 1);
    EXPECT_EQ(sound.QueueCount, 19);
    sound.Enabled = 0; // switched off, the queue waits
    fake.NowMs = 20000;
    EXPECT_EQ(sound.Update(), 0);
    sound.Enabled = 1;
    for (int i = 18; i >= 0; --i, fake.NowMs += 250) {
        ASSERT_EQ(sound.Update(), 1);
        EXPECT_EQ(fake.Waves.back(), "q" + std::to_string(i) + ".wav");
    }

    // Idle two seconds after the end of the last sound, started at 24.5 s.
    fake.NowMs = 26600;
    sound.Update();
    EXPECT_EQ(sound.Playing, 1);
    fake.NowMs = 26650;
    sound.Update();
    EXPECT_EQ(std::make_tuple(sound.Playing, sound.BusyUntil, sound.LastEnd),
              std::make_tuple(0, 0.0f, 24.625f));
}

} // namespace
