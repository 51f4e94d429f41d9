// The overlay's scale: TOVI_SCALE, else the desktop's Xft.dpi over 96, else GDK_SCALE; and the largest
// scale up to it at which the window holds 640 x 650 units.

#include "app/ScreenView.h"

#include <cstdio>
#include <cstring>
#include <gtest/gtest.h>
#include <tuple>

TEST(OverlayScaleTest, TheUserThenTheDesktopThenGdkChooseAndTheWindowBoundsIt) {
    // TOVI_SCALE Xft.dpi GDK_SCALE ("-": not set) = the scale; of them only the TOVI_SCALE 5 is named.
    const char* const rows[] = {"- - - = 1",    "3 192 4 = 3", "5 192 4 = 2", "- 96 3 = 1",  "- 120 - = 1",
                                "- 144 - = 2",  "- 192 1 = 2", "- 288 - = 3", "- 960 - = 4", "- junk 2 = 2",
                                "- 96.0 - = 1", "- -96 3 = 3", "- - 2 = 2",   "- - 5 = 1"};
    testing::internal::CaptureStderr();
    for (const char* row : rows) {
        char tovi[8], dpi[8], gdk[8], scale = '?';
        ASSERT_EQ(std::sscanf(row, "%7s %7s %7s = %c", tovi, dpi, gdk, &scale), 4);
        const auto set = [](const char* text) { return std::strcmp(text, "-") != 0 ? text : nullptr; };
        EXPECT_EQ(ChooseOverlayScale(set(tovi), set(dpi), set(gdk)), scale - '0') << row;
    }
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Tovi: TOVI_SCALE takes a whole number from 1 to 4, not \"5\"; ignored\n");
    ScreenView view;
    view.OverlayScale = 4;
    for (const auto& [width, height, scale] : {std::tuple{3840, 2160, 3}, {2560, 2600, 4}, {1920, 1080, 1}}) {
        std::tie(view.Width, view.Height) = std::tie(width, height);
        EXPECT_EQ(view.OverlayPixels(), scale) << width << " x " << height;
    }
}
