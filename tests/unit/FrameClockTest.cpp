#include "app/FrameClock.h"

#include <climits>
#include <gtest/gtest.h>

TEST(FrameClock, FirstTickAfterALongStartUpBeginsAtOneShortFrame) {
    FrameClock clock;
    clock.Tick(1800); // loading took 1.8 s
    EXPECT_FLOAT_EQ(clock.FrameTime, 0.05f);
    EXPECT_FLOAT_EQ(clock.Now, 0.05f);
    EXPECT_FLOAT_EQ(clock.Offset, -1.75f);
    EXPECT_EQ(clock.ElapsedMs, 1800);

    clock.Tick(1816);
    EXPECT_FLOAT_EQ(clock.FrameTime, 0.016f);
    EXPECT_FLOAT_EQ(clock.Now, 0.066f);
    EXPECT_EQ(clock.Previous, clock.Now);
}

TEST(FrameClock, StallsAndStepsBackCountAsOneShortFrame) {
    struct Case {
        int StepMs;
        float FrameTime;
    };
    const Case cases[] = {
        {16, 0.016f}, {100, 0.1f}, // exactly 0.1 s is not a stall
        {101, 0.05f}, {3000, 0.05f},
        {0, 0.0f},    {-1016, 0.05f}, // a counter going backwards never gives a negative step
    };
    for (const Case& c : cases) {
        FrameClock clock;
        clock.Tick(0);
        clock.Tick(10000);
        const float before = clock.Now;
        clock.Tick(10000 + c.StepMs);
        EXPECT_FLOAT_EQ(clock.FrameTime, c.FrameTime) << c.StepMs;
        EXPECT_FLOAT_EQ(clock.Now - before, c.FrameTime) << c.StepMs;
    }
}

TEST(FrameClock, FrameStepsStayExactOverLongRunsAndTheCounterWrap) {
    // One day, thirty days (past the wrap, so negative) and just before the wrap.
    const int starts[] = {0, 86400000, int(2592000000u), INT_MAX - 40};
    for (int start : starts) {
        FrameClock clock;
        clock.Tick(start);
        const float startNow = clock.Now;
        int ms = start;
        for (int frame = 0; frame < 200; ++frame) {
            ms = int(unsigned(ms) + 16u); // the host's counter wraps to negative values
            clock.Tick(ms);
            ASSERT_EQ(clock.FrameTime, 0.016f) << start << " frame " << frame;
        }
        EXPECT_NEAR(clock.Now - startNow, 200 * 0.016, 1e-3) << start;
    }
}
