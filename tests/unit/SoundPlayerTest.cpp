#include "app/SoundPlayer.h"

#include "support/FakePlatform.h"

#include <gtest/gtest.h>
#include <string>

namespace {

class SoundPlayerTest : public testing::Test {
protected:
    void SetUp() override {
        Host = &Fake;
        Player.Enabled = 1;
        Fake.NowMs = 10000;
    }

    std::vector<std::string> Played() const { return Fake.Waves; }

    FakePlatform Fake;
    SoundPlayer Player;
};

} // namespace

TEST_F(SoundPlayerTest, ForcedSoundCutsOffTheRunningOne) {
    Player.Play("hit.wav", 0.5f, 1, 0);
    Player.Play("WIND2.wav", 2.0f, 1, 0);
    EXPECT_EQ(Played(), (std::vector<std::string>{"hit.wav", "WIND2.wav"}));
    EXPECT_FLOAT_EQ(Player.BusyUntil, 12.0f);
    EXPECT_FLOAT_EQ(Player.LastEnd, 12.0f);
    EXPECT_EQ(Player.Playing, 1);
}

TEST_F(SoundPlayerTest, UnforcedSoundWhileBusyIsDroppedOrQueued) {
    Player.Play("hit.wav", 1.0f, 1, 0);
    Player.Play("dropped.wav", 1.0f, 0, 0);
    Player.Play("queued.wav", 0.3f, 0, 1);
    EXPECT_EQ(Played(), (std::vector<std::string>{"hit.wav"}));
    EXPECT_EQ(Player.QueueCount, 1);

    Fake.NowMs = 10500;
    EXPECT_EQ(Player.Update(), 0); // still busy
    Fake.NowMs = 11001;
    EXPECT_EQ(Player.Update(), 1);
    EXPECT_EQ(Played(), (std::vector<std::string>{"hit.wav", "queued.wav"}));
    EXPECT_EQ(Player.QueueCount, 0);
    EXPECT_NEAR(Player.BusyUntil, 11.301f, 1e-3);
}

TEST_F(SoundPlayerTest, QueueIsAStackOfNineteen) {
    Player.Play("first.wav", 1.0f, 1, 0);
    for (int i = 0; i < 20; ++i)
        Player.Play(("q" + std::to_string(i) + ".wav").c_str(), 0.1f, 0, 1);
    EXPECT_EQ(Player.QueueCount, SoundPlayer::MaxQueued); // the twentieth is dropped

    for (int i = 0; i < 19; ++i) {
        Fake.NowMs += 1200;
        ASSERT_EQ(Player.Update(), 1);
    }
    std::vector<std::string> expected{"first.wav"};
    for (int i = 18; i >= 0; --i)
        expected.push_back("q" + std::to_string(i) + ".wav");
    EXPECT_EQ(Played(), expected);
}

TEST_F(SoundPlayerTest, DisabledSoundPlaysNothingAndKeepsItsQueue) {
    Player.Play("first.wav", 1.0f, 1, 0);
    Player.Play("waiting.wav", 1.0f, 0, 1);
    Player.Enabled = 0;
    Player.Play("muted.wav", 1.0f, 1, 0);
    Fake.NowMs += 5000;
    EXPECT_EQ(Player.Update(), 0);
    EXPECT_EQ(Player.QueueCount, 1);

    Player.Enabled = 1;
    EXPECT_EQ(Player.Update(), 1);
    EXPECT_EQ(Played(), (std::vector<std::string>{"first.wav", "waiting.wav"}));
}

TEST_F(SoundPlayerTest, IdleAfterTwoSecondsPastTheEnd) {
    Player.Play("hit.wav", 0.5f, 1, 0);
    Fake.NowMs = 12400; // 0.5 s sound + 2 s not yet over
    Player.Update();
    EXPECT_EQ(Player.Playing, 1);
    Fake.NowMs = 12600;
    Player.Update();
    EXPECT_EQ(Player.Playing, 0);
    EXPECT_EQ(Player.BusyUntil, 0.0f);
    EXPECT_FLOAT_EQ(Player.LastEnd, 10.5f);
}

TEST_F(SoundPlayerTest, TimingCarriesOnAcrossTheCounterWrap) {
    Fake.NowMs = 2147483000; // about 24.8 days
    Player.Play("hit.wav", 0.5f, 1, 0);
    Fake.NowMs = int(2147483000u + 1000u); // wrapped to a negative value
    Player.Play("later.wav", 0.5f, 0, 0);
    EXPECT_EQ(Played(), (std::vector<std::string>{"hit.wav", "later.wav"}));
}
