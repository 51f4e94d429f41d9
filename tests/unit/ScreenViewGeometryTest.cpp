#include "app/ScreenView.h"

#include "render/Camera.h"
#include "ui/OverlayText.h"

#include <gtest/gtest.h>
#include <utility>

TEST(ScreenViewGeometry, LetterboxStepsCutFivePercentPerStepTruncated) {
    struct Case {
        int Height, Step, Top, Bottom;
    };
    const Case cases[] = {
        {480, 0, 0, 480},  {480, 3, 72, 408},   {480, 6, 144, 336}, {768, 1, 38, 729},
        {480, -3, 0, 480}, {480, 99, 144, 336}, // a damaged file never gives a negative picture
        {0, 6, 0, 0},                           // a minimised window
    };
    for (const Case& c : cases) {
        ScreenView view;
        view.Height = c.Height;
        view.SetLetterbox(c.Step);
        EXPECT_EQ(view.Top, c.Top) << c.Height << " step " << c.Step;
        EXPECT_EQ(view.Bottom, c.Bottom) << c.Height << " step " << c.Step;
        EXPECT_EQ(view.InnerHeight, c.Bottom - c.Top);
        EXPECT_GE(view.InnerHeight, 0);
    }
}

// The narrowing with the letterbox and the bounds of the field of view are read from the projection matrix
// in ScreenPassTest; here a window of no height.
TEST(ScreenViewGeometry, PerspectiveOfAWindowWithNoHeightStaysUsable) {
    for (const auto& [width, aspect] : {std::pair{640, 640.0}, std::pair{0, 1.0}}) {
        Camera camera;
        camera.Fov = 110.0f;
        ScreenView view;
        view.CameraLink = &camera;
        view.Width = width;
        view.Height = 0;
        view.SetLetterbox(0);
        EXPECT_FLOAT_EQ(view.PerspectiveFov(), 110.0f) << width;
        EXPECT_DOUBLE_EQ(view.PerspectiveAspect(), aspect) << width;
    }
}

TEST(FrameRateCounter, CountsConsecutiveOneSecondWindows) {
    FpsText fps;
    float now = 0.05f;
    fps.Tick(now); // the first frame closes the window that ends at 0
    EXPECT_EQ(fps.Fps, 1);
    while (now < 0.99f) {
        now += 1.0f / 60.0f;
        fps.Tick(now);
    }
    EXPECT_EQ(fps.Fps, 1); // nothing shown before the first whole second
    for (int frame = 0; frame < 120; ++frame) {
        now += 1.0f / 60.0f;
        fps.Tick(now);
    }
    EXPECT_GE(fps.Fps, 59);
    EXPECT_LE(fps.Fps, 61);
    EXPECT_EQ(fps.NextTick, 3.0);

    // A slow second is measured from the whole second, not from the frame that ended the last one.
    fps.Tick(3.9f);
    fps.Tick(4.0f);
    EXPECT_EQ(fps.NextTick, 5.0);
}
