#include "scene/OscillatorBank.h"

#include <cmath>
#include <cstdlib>
#include <gtest/gtest.h>

TEST(OscillatorBank, InitTakesAtMostTenChannelsEachRunningSteadily) {
    std::srand(7);
    OscillatorBank bank;
    bank.Init(12);
    ASSERT_EQ(bank.Count, 10);
    for (int i = 0; i < bank.Count; ++i) {
        EXPECT_GE(bank.Phase[i], 0.0f);
        EXPECT_LT(bank.Phase[i], 360.0f);
        EXPECT_GE(bank.Speed[i], 0.03f);
        EXPECT_LT(bank.Speed[i], 0.04f);
        EXPECT_EQ(bank.Speed[i], bank.Target[i]); // easing towards its own speed: constant
        EXPECT_EQ(bank.Easing[i], 1);
        EXPECT_EQ(bank.Frozen[i], 0);
    }

    OscillatorBank empty;
    empty.Init(0);
    empty.Advance(1.0f, 1.0f);
    EXPECT_EQ(empty.Count, 0);
    EXPECT_EQ(empty.Phase[0], 0.0f);
}

TEST(OscillatorBank, ZeroTimeOrZeroMultiplierHoldsThePhases) {
    std::srand(11);
    OscillatorBank bank;
    bank.Init(5);
    const OscillatorBank before = bank;

    bank.Advance(0.0f, 1.0f);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(bank.Phase[i], before.Phase[i]);
        EXPECT_EQ(bank.Speed[i], before.Speed[i]);
        EXPECT_EQ(bank.Easing[i], before.Easing[i]);
    }

    for (int frame = 0; frame < 500; ++frame)
        bank.Advance(0.05f, 0.0f);
    bool speedsWandered = false;
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(bank.Phase[i], before.Phase[i]);
        speedsWandered = speedsWandered || bank.Speed[i] != before.Speed[i];
    }
    EXPECT_TRUE(speedsWandered);
}

TEST(OscillatorBank, FrozenChannelRunsLinearly) {
    std::srand(3);
    OscillatorBank bank;
    bank.Init(9);
    bank.Easing[0] = 1;
    bank.Speed[0] = 0.01f;
    bank.Frozen[0] = 1;
    const float start = bank.Phase[0];
    for (int frame = 0; frame < 1000; ++frame)
        bank.Advance(0.1f, 2.0f);
    EXPECT_EQ(bank.Speed[0], 0.01f);
    EXPECT_NEAR(bank.Phase[0] - start, 1000 * 0.1 * 0.01 * 2.0, 5e-3); // float phase accumulates rounding
}

TEST(OscillatorBank, ChannelsWanderWithinTheirBounds) {
    std::srand(99);
    OscillatorBank bank;
    bank.Init(10);
    for (int frame = 0; frame < 20000; ++frame) {
        bank.Advance(0.05f, 1.0f);
        for (int i = 0; i < 10; ++i) {
            ASSERT_LE(std::fabs(bank.Speed[i]), 0.04f);
            const float v = bank.Value(i, 20.0f, 0.25f, -0.125f);
            ASSERT_GE(v, -0.125f);
            ASSERT_LE(v, 0.125f);
        }
    }
}

TEST(OscillatorBank, ValuesReadTheSineOfThePhase) {
    OscillatorBank bank;
    bank.Count = 1;
    bank.Phase[0] = 0.5f;
    EXPECT_FLOAT_EQ(bank.Value(0, 3.0f, 80.0f, -40.0f), float((std::sin(1.5) * 0.5 + 0.5) * 80.0 - 40.0));
    EXPECT_FLOAT_EQ(bank.ValueShifted(0, 2.0f, 1.5707964f, 4.0f, -2.0f),
                    float((std::sin(1.0 + 1.5707964) * 0.5 + 0.5) * 4.0 - 2.0));
}
