// The shared math and the oscillator banks that all random motion comes from.

#include "render/MathUtil.h"
#include "scene/OscillatorBank.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <gtest/gtest.h>

namespace {

TEST(MathUtilTest, InterpolationClampAndRandomRange) {
    const struct {
        float T, Linear, Cosine; // from 2 to 6
    } steps[] = {{0.0f, 2.0f, 2.0f}, {1.0f, 6.0f, 6.0f}, {0.5f, 4.0f, 4.0f}, {0.25f, 3.0f, 2.5857865f}};
    for (const auto& s : steps) {
        EXPECT_EQ(Lerp(2.0f, 6.0f, s.T), s.Linear) << s.T;
        EXPECT_NEAR(CosineLerp(2.0f, 6.0f, s.T), s.Cosine, 1e-6) << s.T;
    }
    EXPECT_TRUE(std::signbit(MinF(0.0f, -0.0f)) && std::signbit(MaxF(0.0f, -0.0f))); // ties give the second
    EXPECT_EQ(std::make_tuple(MinF(1.0f, 2.0f), MaxF(1.0f, 2.0f)), std::make_tuple(1.0f, 2.0f));

    float x = 3.0f, y = 4.0f, z = 0.0f;
    ClampLength(x, y, z, 5.0f); // at the limit: unchanged
    ClampLength(x, y, z, 2.5f);
    EXPECT_EQ(std::make_tuple(x, y, z), std::make_tuple(1.5f, 2.0f, 0.0f));

    std::srand(1);
    double largest = 0.0;
    for (int i = 0; i < 100000; ++i) {
        const double r = RandomFloat(20.0);
        ASSERT_TRUE(r >= 0.0 && r < 20.0) << r;
        largest = std::max(largest, r);
    }
    EXPECT_GT(largest, 19.99);
}

TEST(OscillatorBankTest, ChannelsStartSteadyWanderBoundedAndReadThroughASine) {
    std::srand(7);
    OscillatorBank bank;
    bank.Init(12);
    ASSERT_EQ(bank.Count, 10);
    for (int i = 0; i < 10; ++i)
        EXPECT_TRUE(bank.Phase[i] >= 0.0f && bank.Phase[i] < 360.0f && bank.Speed[i] >= 0.03f &&
                    bank.Speed[i] < 0.04f && bank.Target[i] == bank.Speed[i] && bank.Easing[i] == 1 &&
                    bank.Frozen[i] == 0)
            << i;

    // A frozen channel runs linearly; with no time nothing moves.
    bank.Speed[0] = 0.01f, bank.Frozen[0] = 1, bank.Phase[0] = 0.0f;
    const OscillatorBank start = bank;
    bank.Advance(0.0f, 1.0f);
    EXPECT_EQ(std::vector<float>(bank.Speed, bank.Speed + 10),
              std::vector<float>(start.Speed, start.Speed + 10));
    for (int frame = 0; frame < 20000; ++frame) {
        bank.Advance(0.05f, 2.0f);
        for (int i = 1; i < 10; ++i)
            ASSERT_LE(std::fabs(bank.Speed[i]), 0.04f);
    }
    EXPECT_EQ(bank.Speed[0], 0.01f);
    EXPECT_NEAR(bank.Phase[0] - start.Phase[0], 20000 * 0.05 * 0.01 * 2.0, 0.05);
    EXPECT_LT(*std::min_element(bank.Speed + 1, bank.Speed + 10), 0.0f); // new targets are mostly negative

    // sin(f x phase) of 1, -1 and 0 give the top, the bottom and the middle of [offset, offset + amplitude].
    bank.Phase[4] = float(M_PI / 6.0), bank.Phase[5] = float(-M_PI / 6.0), bank.Phase[6] = 0.0f;
    EXPECT_NEAR(bank.Value(4, 3.0f, 80.0f, -40.0f), 40.0f, 1e-4);
    EXPECT_NEAR(bank.Value(5, 3.0f, 80.0f, -40.0f), -40.0f, 1e-4);
    EXPECT_NEAR(bank.Value(6, 3.0f, 80.0f, -40.0f), 0.0f, 1e-4);
    EXPECT_NEAR(bank.ValueShifted(6, 3.0f, float(M_PI / 2), 4.0f, 1.0f), 5.0f, 1e-4);
}

} // namespace
