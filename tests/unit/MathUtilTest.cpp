// The shared math and the oscillator banks that all random motion comes from.

#include "render/MathUtil.h"
#include "scene/OscillatorBank.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <gtest/gtest.h>

namespace {

TEST(MathUtilTest, InterpolationClampAndRandomRange) {
    for (const auto& [t, linear, cosine] :
         {std::array{0.0f, 2.0f, 2.0f}, {1.0f, 6.0f, 6.0f}, {0.5f, 4.0f, 4.0f}, {0.25f, 3.0f, 2.5857865f}}) {
        EXPECT_EQ(Lerp(2.0f, 6.0f, t), linear);
        EXPECT_NEAR(CosineLerp(2.0f, 6.0f, t), cosine, 1e-6);
    }
    EXPECT_TRUE(std::signbit(MinF(0.0f, -0.0f)) && std::signbit(MaxF(0.0f, -0.0f))); // ties give the second
    EXPECT_EQ(std::make_tuple(MinF(1.0f, 2.0f), MaxF(1.0f, 2.0f)), std::make_tuple(1.0f, 2.0f));
    float x = 3.0f, y = 4.0f, z = 0.0f;
    ClampLength(x, y, z, 5.0f); // at the limit: unchanged
    ClampLength(x, y, z, 2.5f);
    EXPECT_EQ(std::make_tuple(x, y, z), std::make_tuple(1.5f, 2.0f, 0.0f));
    std::srand(1);
    double largest = 0.0;
    for (int i = 0; i < 100000; ++i)
        largest = std::max(largest, RandomFloat(20.0));
    EXPECT_TRUE(largest > 19.99 && largest < 20.0) << largest;
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
    // A frozen channel runs linearly; the others wander within 0.04 either way, mostly reversed.
    bank.Speed[0] = 0.01f, bank.Frozen[0] = 1, bank.Phase[0] = 0.0f;
    for (int frame = 0; frame < 20000; ++frame) {
        bank.Advance(0.05f, 2.0f);
        ASSERT_LE(std::max(std::fabs(*std::max_element(bank.Speed, bank.Speed + 10)),
                           std::fabs(*std::min_element(bank.Speed, bank.Speed + 10))),
                  0.04f);
    }
    EXPECT_EQ(bank.Speed[0], 0.01f);
    EXPECT_NEAR(bank.Phase[0], 20000 * 0.05 * 0.01 * 2.0, 0.05);
    EXPECT_LT(*std::min_element(bank.Speed + 1, bank.Speed + 10), 0.0f);
    // sin(f x phase) of 1, -1 and 0 give the top, the bottom and the middle of [offset, offset + amplitude].
    bank.Phase[4] = float(M_PI / 6.0), bank.Phase[5] = float(-M_PI / 6.0), bank.Phase[6] = 0.0f;
    EXPECT_NEAR(bank.Value(4, 3.0f, 80.0f, -40.0f), 40.0f, 1e-4);
    EXPECT_NEAR(bank.Value(5, 3.0f, 80.0f, -40.0f), -40.0f, 1e-4);
    EXPECT_NEAR(bank.Value(6, 3.0f, 80.0f, -40.0f), 0.0f, 1e-4);
    EXPECT_NEAR(bank.ValueShifted(6, 3.0f, float(M_PI / 2), 4.0f, 1.0f), 5.0f, 1e-4);
}

} // namespace
