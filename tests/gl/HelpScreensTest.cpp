// The help card and the info screen as the user reads them: every line captured from the glyph quads
// OpenGL is given, its characters read back from the font cells, with its place, size and colour. The card
// says what the README quotes.

#include "app/HelpScreens.h"
#include "support/GlTestFixture.h"

#include <cmath>
#include <filesystem>
#include <fstream>

namespace {

using namespace gltest;
using namespace support;

struct Line {
    std::string Text;
    float X, Y, Size, Red, Green, Blue;
    auto Place() const { return std::make_tuple(X, Y, Size, Red, Green, Blue); }
};

// A glyph is a quad of the 16 x 8 font grid from character 32 on; a line ends where the pen goes back.
template <typename Draw> std::vector<Line> Lines(Draw draw) {
    BeginWideOrtho(); // the card runs below a short window
    const auto sent = CaptureFeedback(draw);
    std::vector<Line> lines;
    float previousX = 1e9f;
    for (size_t p = 0; p + 1 < sent.Primitives.size(); p += 2) {
        const FeedbackBox box = sent.Bounds(p, 2);
        const FeedbackVertex& corner = sent.Primitives[p].Vertices[0];
        const float x = (box.MinX + box.MaxX - ScreenText.Slant) / 2.0f; // the pen, also for waving glyphs
        if (x < previousX)
            lines.push_back({"", x, (box.MinY + box.MaxY) / 2.0f, (box.MaxY - box.MinY) / 2.0f, corner.R,
                             corner.G, corner.B});
        previousX = x;
        lines.back().Text +=
            char(32 + 16 * std::lround(7.0f - box.MinT * 8.0f) + std::lround(box.MinS * 16.0f));
    }
    return lines;
}

std::string RightTrimmed(std::string text) {
    return text.erase(text.find_last_not_of(' ') + 1);
}

// The lines of the fenced block under the README's heading "The help card", blank lines left out.
std::vector<std::string> ReadmeCard() {
    std::ifstream readme(std::filesystem::path(__FILE__).parent_path() / "../../README.md");
    std::vector<std::string> card;
    std::string line;
    while (std::getline(readme, line) && line != "## The help card") {
    }
    while (std::getline(readme, line) && line.rfind("```", 0) != 0) {
    }
    while (std::getline(readme, line) && line.rfind("```", 0) != 0)
        if (!line.empty())
            card.push_back(RightTrimmed(line));
    return card;
}

using HelpScreensTest = ProgramTest;

TEST_F(HelpScreensTest, HelpCardRunsDownFromTheTitleAndBelowShortWindows) {
    for (const auto& [width, height, titleY, firstY, secondY] :
         {std::array{640, 480, 441, 418, 203}, std::array{1024, 768, 706, 683, 468}}) {
        View.Reshape(width, height);
        const std::vector<Line> lines = Lines(ShowHelp);
        ASSERT_EQ(lines.size(), 1u + 14u + 24u) << height;
        ASSERT_EQ(ReadmeCard().size(), 38u);
        EXPECT_EQ(std::make_tuple(lines[0].Text, lines[0].Place()),
                  std::make_tuple("Tovi", std::make_tuple(20.0f, float(titleY), 15.0f, 1.0f, 1.0f, 1.0f)));
        for (int i = 1; i < 39; ++i) // a line every 15 pixels down, each block from its own start
            EXPECT_EQ(
                std::make_tuple(RightTrimmed(lines[i].Text), lines[i].Place()),
                std::make_tuple(
                    ReadmeCard()[i - 1],
                    std::make_tuple(30.0f, float(i < 15 ? firstY - 15 * (i - 1) : secondY - 15 * (i - 15)),
                                    9.0f, 1.0f, 1.0f, 1.0f)))
                << height;
    }
}

TEST_F(HelpScreensTest, InfoScreenHeadingsAndLinesThenLeavesTheTextWhite) {
    ScreenText.SetColor(1.0f, 0.0f, 0.0f);
    const std::vector<Line> lines = Lines([] { ShowInfo(ProgramName); });
    ASSERT_EQ(lines.size(), 13u);    // the title, two headings and ten lines
    EXPECT_NE(lines[0].Size, 30.0f); // the title waves: each glyph is scaled
    EXPECT_EQ(std::make_tuple(lines[0].Text, lines[0].Place()),
              std::make_tuple("Tovi", std::make_tuple(160.0f, 456.0f, lines[0].Size, 1.0f, 1.0f, 0.0f)));
    // Each line's drop below 414, green headings 170 pixels in ("Basics:", then "Controls:" 160 down), white
    // lines 190, the last one pointing to the help card.
    for (int i = 1; i < 13; ++i) {
        const int drop = 30 * (i - 1) + (i > 5 ? 10 : 0);
        const float white = i == 1 || i == 6 ? 0.0f : 1.0f;
        EXPECT_EQ(lines[i].Place(),
                  std::make_tuple(170.0f + 20 * white, 414.0f - drop, 10.0f, white, 1.0f, white))
            << lines[i].Text;
    }
    EXPECT_EQ(std::make_tuple(lines[1].Text, lines[6].Text, lines[12].Text),
              std::make_tuple("Basics:", "Controls:", "Press '?' for more info on keyboard controls"));
    ExpectRestingState();
    EXPECT_EQ(std::make_tuple(ScreenText.Red, ScreenText.Green, ScreenText.Blue, ScreenText.WobbleOn,
                              ScreenText.WaveOn),
              std::make_tuple(1.0f, 1.0f, 1.0f, 0, 0));

    // A frame draws the info screen over the menus unless the picture shatters, and the help after it all.
    for (const auto& [help, info, exit, lastLine] :
         {std::tuple{0, 0, 0, ""},
          {0, 1, 0, "Press '?' for more info on keyboard controls"},
          {1, 1, 0, "   <?> to return"},
          {0, 1, 2, ""}}) {
        HelpShown = help;
        InfoShown = info;
        ExitState = exit;
        ScreenText.Text[0] = '\0';
        FrameAt(Fake.NowMs + FrameMs);
        EXPECT_STREQ(ScreenText.Text, lastLine) << help << info << exit;
    }
}

} // namespace
