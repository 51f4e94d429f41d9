// The frame clock, which hides stalls and the host counter's wrap, and the frame-rate counter it drives.

#include "app/FrameClock.h"
#include "ui/OverlayText.h"

#include <climits>
#include <gtest/gtest.h>

namespace {

// From a clock running at 10 s, one step of the counter: a step of more than 0.1 s is a stall and counts
// as one frame of 0.05 s, as does a counter that goes back.
TEST(FrameClockTest, StepsUpToATenthOfASecondCountAndLongerOnesAreOneShortFrame) {
    const struct {
        int StepMs;
        float FrameTime;
    } steps[] = {{16, 0.016f}, {100, 0.1f}, {101, 0.05f}, {3000, 0.05f}, {0, 0.0f}, {-1016, 0.05f}};
    for (const auto& s : steps) {
        FrameClock clock;
        clock.Tick(10000); // the first tick after a long start-up is a stall too
        EXPECT_FLOAT_EQ(clock.Now, 0.05f);
        clock.Tick(10000 + s.StepMs);
        EXPECT_FLOAT_EQ(clock.FrameTime, s.FrameTime) << s.StepMs;
        EXPECT_FLOAT_EQ(clock.Now, 0.05f + s.FrameTime) << s.StepMs;
        EXPECT_EQ(clock.ElapsedMs, 10000 + s.StepMs);
    }
    // Across the wrap of the counter after about 24.8 days every 16 ms step stays 16 ms.
    FrameClock clock;
    for (unsigned ms = unsigned(INT_MAX) - 40; ms != unsigned(INT_MAX) + 200; ms += 16) {
        clock.Tick(int(ms));
        ASSERT_FLOAT_EQ(clock.FrameTime, ms == unsigned(INT_MAX) - 40 ? 0.05f : 0.016f) << ms;
    }
}

// The count of each whole second of the clock: nothing before the first second, then the frames of the
// second just ended; the seconds run from 0, not from the frame that ended the last one.
TEST(FrameClockTest, FrameRateIsTheCountOfEachWholeSecond) {
    FpsText fps;
    for (int frame = 1; frame <= 128; ++frame) { // 64 frames a second
        fps.Tick(float(frame) / 64.0f);
        if (frame == 63 || frame == 64) {
            EXPECT_EQ(fps.Fps, frame == 63 ? 1 : 63); // the first frame ends the second before 0
        }
    }
    EXPECT_EQ(fps.Fps, 64);
    fps.Tick(3.5f);
    fps.Tick(4.0f);
    EXPECT_EQ(std::make_tuple(fps.Fps, fps.NextTick), std::make_tuple(1, 5.0));
}

} // namespace
