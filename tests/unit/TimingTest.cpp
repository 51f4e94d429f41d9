// The sound queue: one sound at a time, forced sounds cut in, queued ones wait on a stack of nineteen; and
// the oscillator banks that all random motion comes from: the camera's wander, the arcs, the waving text
// (what the banks' sines move is seen in the camera, globe, light and text tests).

#include "app/SoundPlayer.h"
#include "scene/OscillatorBank.h"
#include "support/FakePlatform.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
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

TEST(OscillatorBankTest, ChannelsStartSteadyAndWanderBounded) {
    std::srand(7);
    OscillatorBank bank;
    bank.Init(12);
    ASSERT_EQ(bank.Count, 10);
    for (int i = 0; i < 10; ++i)
        EXPECT_TRUE(bank.Phase[i] >= 0.0f && bank.Phase[i] < 360.0f && bank.Speed[i] >= 0.03f &&
                    bank.Speed[i] < 0.04f && bank.Target[i] == bank.Speed[i] && bank.Easing[i] == 1 &&
                    bank.Frozen[i] == 0)
            << i;
    // A frozen channel runs linearly, at the speed times the multiplier; the others wander within 0.04
    // either way, new targets of 0.03 to 0.04, seven in ten reversed, easing a third of the time.
    bank.Speed[0] = 0.01f;
    bank.Frozen[0] = 1;
    bank.Phase[0] = 0.0f;
    int reversed = 0, forward = 0, eased = 0; // new targets by sign; frames of channels easing
    for (int frame = 0; frame < 20000; ++frame) {
        float before[10];
        std::copy(bank.Target, bank.Target + 10, before);
        bank.Advance(0.05f, 2.0f);
        for (int i = 1; i < 10; ++i) {
            if (bank.Target[i] != before[i]) {
                (bank.Target[i] < 0.0f ? reversed : forward) += 1;
                EXPECT_TRUE(std::fabs(bank.Target[i]) >= 0.03f && std::fabs(bank.Target[i]) < 0.04f);
            }
            eased += bank.Easing[i];
        }
        ASSERT_LE(std::max(std::fabs(*std::max_element(bank.Speed, bank.Speed + 10)),
                           std::fabs(*std::min_element(bank.Speed, bank.Speed + 10))),
                  0.04f);
    }
    EXPECT_EQ(bank.Speed[0], 0.01f);
    EXPECT_NEAR(bank.Phase[0], 20000 * 0.05 * 0.01 * 2.0, 0.05);
    EXPECT_GT(reversed, 2 * forward) << forward;
    EXPECT_NEAR(eased / (20000.0 * 9), 0.33, 0.05);
    // One short frame: a decaying channel loses a tenth of its speed per second, an easing one closes a
    // tenth of the gap to its target per second.
    std::fill(bank.Frozen, bank.Frozen + 10, 1);
    bank.Frozen[1] = bank.Frozen[2] = 0;
    bank.Easing[1] = 0;
    bank.Easing[2] = 1;
    bank.Speed[1] = bank.Speed[2] = 0.04f;
    bank.Target[2] = -0.02f;
    bank.Advance(0.02f, 1.0f);
    EXPECT_NEAR(bank.Speed[1], 0.04 * 0.998, 1e-8);
    EXPECT_NEAR(bank.Speed[2], 0.04 - 0.06 * 0.002, 1e-8);
}

} // namespace
