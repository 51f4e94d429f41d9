// The oscillator banks that all random motion comes from: the camera's wander, the arcs, the waving text.

#include "scene/OscillatorBank.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <gtest/gtest.h>

namespace {

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
    bank.Speed[0] = 0.01f;
    bank.Frozen[0] = 1;
    bank.Phase[0] = 0.0f;
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
    bank.Phase[4] = float(M_PI / 6.0);
    bank.Phase[5] = float(-M_PI / 6.0);
    bank.Phase[6] = 0.0f;
    EXPECT_NEAR(bank.Value(4, 3.0f, 80.0f, -40.0f), 40.0f, 1e-4);
    EXPECT_NEAR(bank.Value(5, 3.0f, 80.0f, -40.0f), -40.0f, 1e-4);
    EXPECT_NEAR(bank.Value(6, 3.0f, 80.0f, -40.0f), 0.0f, 1e-4);
    EXPECT_NEAR(bank.ValueShifted(6, 3.0f, float(M_PI / 2), 4.0f, 1.0f), 5.0f, 1e-4);
}

} // namespace
