// On-screen text as OpenGL receives it, in window pixels: where each glyph lands and which font cell it
// shows, the sway, wobble and wave, the stored text, the state left behind, and the timed status line.

#include "app/Settings.h"
#include "support/GlTestFixture.h"

#include <cmath>
#include <string>

namespace {

using namespace support;

class OverlayTextTest : public gltest::TextTest {};

// A glyph of size s is s wide and 2s high, centred on the pen, its top edge leaning 3 pixels right at
// every size; the pen moves 0.9 s per character. Sway moves the string by half the size times the sine
// of channels 3 and 4; wobble shears each glyph by a fifth of the size times channels 1 and 2.
TEST_F(OverlayTextTest, GlyphsSitOnTheirCellsWithSlantAdvanceSwayAndWobble) {
    const struct {
        float Size;
        int Sway, Wobble;
        float BottomLeft[2], BottomRight[2], TopRight[2]; // of the third glyph, anchored at (20, 100)
    } cases[] = {{10, 0, 0, {33, 90}, {43, 90}, {46, 110}},
                 {30, 0, 0, {59, 70}, {89, 70}, {92, 130}},
                 {10, 1, 0, {38, 85}, {48, 85}, {51, 105}},
                 {10, 0, 1, {35, 92}, {41, 88}, {48, 112}}};
    for (int channel : {1, 2, 3, 4}) // every sine at its peak: 1 for x, then 1 and -1 alternately
        TextWaveBank.Phase[channel] = float((channel % 2 ? M_PI / 2 : -M_PI / 2) / 100.0);
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        OverlayText text;
        text.SwayOn = c.Sway, text.WobbleOn = c.Wobble, text.Brightness = 0.5f;
        text.SetColor(1.0f, 0.6f, 0.2f);
        const Feedback sent = CaptureFeedback([&] { text.Draw(" ~\x9f", 20.0f, 100.0f, c.Size); });
        EXPECT_EQ(sent.Glyphs(), " ~\x9f"); // the first cell, one of row 5, the last of the grid
        ASSERT_EQ(sent.Primitives.size(), 6u);
        const auto corner = [&](float x, float y) {
            for (size_t p = 4; p < 6; ++p)
                for (const FeedbackVertex& v : sent.Primitives[p].Vertices)
                    if (std::fabs(v.X - x) < 1e-3f && std::fabs(v.Y - y) < 1e-3f)
                        return true;
            return false;
        };
        EXPECT_TRUE(corner(c.BottomLeft[0], c.BottomLeft[1]) && corner(c.BottomRight[0], c.BottomRight[1]) &&
                    corner(c.TopRight[0], c.TopRight[1]));
        const FeedbackVertex& v = sent.Primitives[0].Vertices[0];
        EXPECT_TRUE(std::fabs(v.R - 0.5f) + std::fabs(v.G - 0.3f) + std::fabs(v.B - 0.1f) < 1e-5f &&
                    v.A == 1.0f);
    }
    // The wave sizes each glyph by its place in the string.
    OverlayText waving;
    waving.WaveOn = 1;
    const Feedback sent = CaptureFeedback([&] { waving.Draw("aa", 100.0f, 100.0f, 20.0f); });
    const FeedbackBox first = sent.Bounds(0, 2), second = sent.Bounds(2, 2);
    EXPECT_GT(std::fabs((first.MaxX - first.MinX) - (second.MaxX - second.MinX)), 0.01f);
    EXPECT_GT(std::fabs((first.MaxY - first.MinY) - (second.MaxY - second.MinY)), 0.01f);
}

TEST_F(OverlayTextTest, StoredTextIsBoundedSurvivesDrawingItselfAndStateIsRestored) {
    OverlayText text;
    EXPECT_TRUE(CaptureFeedback([&] { text.Draw("", 5.0f, 6.0f, 12.0f); }).Primitives.empty());
    EXPECT_TRUE(text.Text[0] == '\0' && text.X == 5.0f && text.Y == 6.0f && text.Radius == 12.0f);
    text.Draw("Saved Prefs", 20.0f, 460.0f, 10.0f);
    text.Draw(text.Text + 6, 20.0f, 460.0f, 10.0f); // a tail of its own text
    EXPECT_STREQ(text.Text, "Prefs");
    const std::string longText(200, 'x');
    text.Draw(longText.c_str(), 0.0f, 0.0f, 10.0f);
    EXPECT_EQ(text.Text, longText.substr(0, 79));
    gltest::ExpectRestingState();

    // With blending and the alpha test off in the style, the caller's are left as they were; text is
    // drawn filled while the scene is in line mode.
    glEnable(GL_BLEND), glBlendFunc(GL_ONE, GL_ONE), glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    text.BlendOn = text.AlphaTestOn = 0;
    EXPECT_EQ(CaptureFeedback([&] { text.Draw("x", 10.0f, 10.0f, 10.0f); }).Count(FeedbackPrimitive::Polygon),
              2);
    GLint source = 0, mode[2] = {};
    glGetIntegerv(GL_BLEND_SRC, &source), glGetIntegerv(GL_POLYGON_MODE, mode);
    EXPECT_TRUE(glIsEnabled(GL_BLEND) && source == GL_ONE && mode[0] == GL_LINE);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
}

// A message shows for three seconds from its own call, replacing any other at once; on expiry it asks
// once for a full clear. Taken away directly it asks for none.
TEST_F(OverlayTextTest, StatusMessagesLastThreeSecondsAndAskForOneClear) {
    OverlayText& line = StatusLine;
    line.X = 20.0f, line.Y = 460.0f, Clock.Now = 1.0f;
    line.ShowFormatted("Rotate Speed: %4.2f", 1.1f);
    EXPECT_STREQ(line.Text, "Rotate Speed: 1.10");
    Clock.Now = 2.5f;
    line.ShowFormatted("Letterbox: %1d", 3);
    EXPECT_STREQ(line.Text, "Letterbox: 3");
    const struct {
        float Now;
        const char* Shown;
        int ClearFrames;
    } steps[] = {{3.9f, "Letterbox: 3", 0}, {5.4f, "Letterbox: 3", 0}, {5.5f, "", 1}, {6.0f, "", 0}};
    for (const auto& step : steps) {
        Clock.Now = step.Now, View.ClearFrames = 0;
        EXPECT_EQ(CaptureFeedback([&] { line.DrawIfShown(); }).Glyphs(), step.Shown) << step.Now;
        EXPECT_EQ(View.ClearFrames, step.ClearFrames) << step.Now;
    }
    line.Show("<Click> to continue,,,");
    line.ShowUntil = 0.0f;
    line.DrawIfShown();
    EXPECT_EQ(View.ClearFrames, 0);

    const char* options[][2] = {
        {"No Options", "No Image Options"}, {"Option 1/4: ", "Image 1/11: "}, {"x", "x"}};
    for (int index = 0; index < 3; ++index) {
        Settings.OptionIndex = Settings.ImageOptionIndex = index;
        line.Show("x"), ShowOption();
        EXPECT_STREQ(line.Text, options[index][0]);
        line.Show("x"), ShowImageOption();
        EXPECT_STREQ(line.Text, options[index][1]);
    }
}

} // namespace
