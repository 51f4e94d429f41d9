// The help card and the info screen as the user reads them: every line captured from the glyph quads
// OpenGL is given, with its characters read back from the font cells, its anchor, size and colour.

#include "app/HelpScreens.h"
#include "support/GlTestFixture.h"

#include <cmath>
#include <tuple>
#include <utility>
#include <vector>

namespace {

using namespace gltest;

struct Line {
    std::string Text;
    float X, Y, Size, Red, Green, Blue;
    auto Place() const { return std::make_tuple(X, Y, Size, Red, Green, Blue); }
};

// Draws in window pixels over a range wide enough to capture lines below the window too. A glyph is two
// triangles: a token, a count and three vertices of x y z, rgba and strq each.
template <typename Draw> std::vector<Line> Capture(Draw draw) {
    glViewport(-2048, -2048, 4096, 4096);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-2048.0, 2048.0, -2048.0, 2048.0, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    const std::vector<GLfloat> buffer = Feedback(GL_3D_COLOR_TEXTURE, 1 << 18, draw);
    std::vector<Line> lines;
    float previousX = 1e9f;
    for (size_t glyph = 0; glyph + 70 <= buffer.size(); glyph += 70) {
        float left = 1e9f, right = -1e9f, low = 1e9f, high = -1e9f, u = 1.0f, v = 1.0f;
        for (size_t vertex : {2, 13, 24, 37, 48, 59}) {
            const GLfloat* corner = &buffer[glyph + vertex];
            left = std::min(left, corner[0]), right = std::max(right, corner[0]);
            low = std::min(low, corner[1]), high = std::max(high, corner[1]);
            u = std::min(u, corner[7]), v = std::min(v, corner[8]);
        }
        const float x = (left + right - ScreenText.Slant) / 2.0f; // the pen, also for waving glyphs
        if (x < previousX)                                        // the pen went back: a new line
            lines.push_back({"", x, (low + high) / 2.0f, (high - low) / 2.0f, buffer[glyph + 5],
                             buffer[glyph + 6], buffer[glyph + 7]});
        previousX = x;
        lines.back().Text += char(32 + 16 * std::lround(7.0f - v * 8.0f) + std::lround(u * 16.0f));
    }
    return lines;
}

using HelpScreensTest = ProgramTest;

TEST_F(HelpScreensTest, HelpCardRunsDownFromTheTitleAndBelowShortWindows) {
    for (const auto& [width, height, titleY, firstY, firstEnd, secondY, lastY] :
         {std::array{640, 480, 441, 418, 223, 203, -142}, std::array{1024, 768, 706, 683, 488, 468, 123}}) {
        View.Reshape(width, height);
        const std::vector<Line> lines = Capture(ShowHelp);
        ASSERT_EQ(lines.size(), 1u + 14u + 24u) << height;
        EXPECT_EQ(
            std::make_tuple(lines[0].Text, lines[1].Text, lines[15].Text, lines[38].Text),
            std::make_tuple("Tovi", "Special Controls for this (32 bitcolor) simulation:",
                            "Standard Controls in most simulations where applicable:", "   <?> to return"));
        EXPECT_EQ(lines[0].Place(), std::make_tuple(20.0f, float(titleY), 15.0f, 1.0f, 1.0f, 1.0f));
        EXPECT_EQ(std::make_tuple(lines[14].Y, lines[15].Y, lines[38].Y),
                  std::make_tuple(float(firstEnd), float(secondY), float(lastY)));
        for (int i = 1; i < 39; ++i) { // one step, indent, size and colour for every line of both blocks
            const float y = i == 1 ? float(firstY) : lines[i - 1].Y - (i == 15 ? 20.0f : 15.0f);
            EXPECT_EQ(lines[i].Place(), std::make_tuple(30.0f, y, 9.0f, 1.0f, 1.0f, 1.0f))
                << height << ": " << lines[i].Text;
        }
    }
}

TEST_F(HelpScreensTest, InfoScreenHeadingsAndLinesThenLeavesTheTextWhite) {
    ScreenText.SetColor(1.0f, 0.0f, 0.0f);
    const std::vector<Line> lines = Capture([] { ShowInfo(ProgramName); });
    ASSERT_EQ(lines.size(), 1u + 12u); // the title, two headings and ten lines
    const std::pair<int, Line> expected[] = {
        {0, {"Tovi", 160.0f, 456.0f, lines[0].Size, 1.0f, 1.0f, 0.0f}}, // the title waves: its size varies
        {1, {"Basics:", 170.0f, 414.0f, 10.0f, 0.0f, 1.0f, 0.0f}},
        {2, {"Lumenfest-Plasma Balls entry", 190.0f, 384.0f, 10.0f, 1.0f, 1.0f, 1.0f}},
        {6, {"Controls:", 170.0f, 254.0f, 10.0f, 0.0f, 1.0f, 0.0f}},
        {12, {"Press '?' for more info on keyboard controls", 190.0f, 74.0f, 10.0f, 1.0f, 1.0f, 1.0f}},
    };
    EXPECT_NE(lines[0].Size, 30.0f); // the wave scales each glyph of the title
    for (const auto& [i, want] : expected)
        EXPECT_EQ(std::make_tuple(lines[i].Text, lines[i].Place()), std::make_tuple(want.Text, want.Place()));
    EXPECT_EQ(std::make_tuple(ScreenText.Red, ScreenText.Green, ScreenText.Blue, ScreenText.WobbleOn,
                              ScreenText.WaveOn),
              std::make_tuple(1.0f, 1.0f, 1.0f, 0, 0));
}

TEST_F(HelpScreensTest, FrameDrawsInfoUnlessShatteringAndHelpOverEverything) {
    // ScreenText keeps the last line drawn; after a quit key the picture shatters without the info screen.
    const std::tuple<int, int, int, const char*> cases[] = {
        {0, 0, 0, ""},
        {0, 1, 0, "Press '?' for more info on keyboard controls"},
        {1, 1, 0, "   <?> to return"},
        {0, 1, 1, ""},
    };
    for (const auto& [help, info, exit, lastLine] : cases) {
        HelpShown = help, InfoShown = info, ExitState = exit;
        ScreenText.Text[0] = '\0';
        FrameAt(Fake.NowMs + FrameMs);
        EXPECT_STREQ(ScreenText.Text, lastLine) << help << info << exit;
    }
}

} // namespace
