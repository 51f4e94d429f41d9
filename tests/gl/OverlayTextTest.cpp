#include "support/GlTestFixture.h"

#include "ui/OverlayText.h"

#include <string>
#include <vector>

namespace {

// One captured glyph triangle of the feedback buffer, in window pixels.
struct Triangle {
    float X[3], Y[3];
};

class OverlayTextTest : public gltest::TextTest {
protected:
    // Draws the text and returns the triangles OpenGL was given for it.
    static std::vector<Triangle> Capture(OverlayText& text, const char* string, float x, float y,
                                         float size) {
        const std::vector<GLfloat> values =
            gltest::Feedback(GL_2D, 4096, [&] { text.Draw(string, x, y, size); });
        std::vector<Triangle> triangles;
        for (size_t i = 0; i + 8 <= values.size(); i += 8) {
            EXPECT_EQ(values[i], GLfloat(GL_POLYGON_TOKEN));
            EXPECT_EQ(values[i + 1], 3.0f);
            triangles.push_back({{values[i + 2], values[i + 4], values[i + 6]},
                                 {values[i + 3], values[i + 5], values[i + 7]}});
        }
        return triangles;
    }

    // The x range of the corners at height y of the last glyph (its last two triangles).
    static void EdgeOfLastGlyph(const std::vector<Triangle>& triangles, float y, float& left, float& right) {
        left = 1e9f;
        right = -1e9f;
        for (size_t t = triangles.size() - 2; t < triangles.size(); ++t)
            for (int v = 0; v < 3; ++v)
                if (std::abs(triangles[t].Y[v] - y) < 0.01f) {
                    left = std::min(left, triangles[t].X[v]);
                    right = std::max(right, triangles[t].X[v]);
                }
    }
};

TEST_F(OverlayTextTest, GlyphsSitOnTheirCellsWithSlantAndAdvance) {
    struct Case {
        float Size;
        float BottomLeft, BottomRight, TopLeft, TopRight, Low, High;
    };
    // The third character of a string anchored at (20, 100).
    const Case cases[] = {
        {10.0f, 33.0f, 43.0f, 36.0f, 46.0f, 90.0f, 110.0f},
        {30.0f, 59.0f, 89.0f, 62.0f, 92.0f, 70.0f, 130.0f}, // 27 pixels per character; slant still 3
    };
    for (const Case& c : cases) {
        OverlayText text;
        const std::vector<Triangle> triangles = Capture(text, "abc", 20.0f, 100.0f, c.Size);
        ASSERT_EQ(triangles.size(), 6u) << "two triangles per character";
        float left, right;
        EdgeOfLastGlyph(triangles, c.Low, left, right);
        EXPECT_FLOAT_EQ(left, c.BottomLeft) << c.Size;
        EXPECT_FLOAT_EQ(right, c.BottomRight) << c.Size;
        EdgeOfLastGlyph(triangles, c.High, left, right);
        EXPECT_FLOAT_EQ(left, c.TopLeft) << c.Size;
        EXPECT_FLOAT_EQ(right, c.TopRight) << c.Size;
    }

    // The wave changes each glyph's size with its place in the string.
    OverlayText waving;
    waving.WaveOn = 1;
    const std::vector<Triangle> triangles = Capture(waving, "aa", 100.0f, 100.0f, 20.0f);
    ASSERT_EQ(triangles.size(), 4u);
    const auto lowest = [](const Triangle& t) { return std::min({t.Y[0], t.Y[1], t.Y[2]}); };
    EXPECT_NE(lowest(triangles[0]), lowest(triangles[2]));
}

TEST_F(OverlayTextTest, StoredTextIsBoundedAndSurvivesDrawingItself) {
    OverlayText text;
    EXPECT_TRUE(Capture(text, "", 5.0f, 6.0f, 12.0f).empty()); // nothing drawn, yet stored
    EXPECT_STREQ(text.Text, "");
    EXPECT_EQ(text.X, 5.0f);
    EXPECT_EQ(text.Radius, 12.0f);

    text.Draw("Saved Prefs", 20.0f, 460.0f, 10.0f);
    text.Draw(text.Text, 20.0f, 460.0f, 10.0f);
    EXPECT_STREQ(text.Text, "Saved Prefs");
    text.Draw(text.Text + 6, 20.0f, 460.0f, 10.0f); // a tail of its own text
    EXPECT_STREQ(text.Text, "Prefs");

    const std::string longText(200, 'x');
    text.Draw(longText.c_str(), 0.0f, 0.0f, 10.0f);
    EXPECT_EQ(std::string(text.Text), longText.substr(0, 79));
    text.Show(longText.c_str());
    EXPECT_EQ(std::string(text.Text), longText.substr(0, 79));
    text.ShowFormatted("%s", longText.c_str());
    EXPECT_EQ(std::string(text.Text), longText.substr(0, 79));
    text.ShowFormatted("OpenGL Error: %s", static_cast<const char*>(nullptr));
    EXPECT_STREQ(text.Text, "OpenGL Error: unknown");
}

TEST_F(OverlayTextTest, DrawingRestoresOnlyWhatItsStyleSwitchedOn) {
    OverlayText text;
    text.Draw("x", 10.0f, 10.0f, 10.0f);
    gltest::ExpectRestingState();

    // With blending off in the style, the caller's blending is left as it was.
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    text.BlendOn = 0;
    text.AlphaTestOn = 0;
    glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    text.Draw("x", 10.0f, 10.0f, 10.0f);
    GLint source = 0, polygonMode[2] = {};
    glGetIntegerv(GL_BLEND_SRC, &source);
    glGetIntegerv(GL_POLYGON_MODE, polygonMode);
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_EQ(source, GL_ONE);
    EXPECT_EQ(polygonMode[0], GL_LINE);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(OverlayTextTest, StatusMessagesLastThreeSecondsAndAskForOneClear) {
    OverlayText& line = StatusLine;
    line = OverlayText();
    line.X = 20.0f;
    line.Y = 460.0f;
    Clock.Now = 1.0f;
    line.ShowFormatted("Rotate Speed: %4.2f", 1.1f);
    EXPECT_STREQ(line.Text, "Rotate Speed: 1.10");
    Clock.Now = 2.5f;
    line.ShowFormatted("Letterbox: %1d", 3); // replaces the first at once, for three seconds of its own
    EXPECT_STREQ(line.Text, "Letterbox: 3");

    struct Step {
        float Now;
        bool Drawn;
        int ClearFrames;
    };
    const Step steps[] = {{3.9f, true, 0}, {5.4f, true, 0}, {5.5f, false, 1}, {6.0f, false, 0}};
    for (const Step& step : steps) {
        Clock.Now = step.Now;
        View.ClearFrames = 0;
        EXPECT_EQ(!gltest::Feedback(GL_2D, 4096, [&] { line.DrawIfShown(); }).empty(), step.Drawn)
            << step.Now;
        EXPECT_EQ(View.ClearFrames, step.ClearFrames) << step.Now;
    }

    // Removing a message at once asks for no clear.
    line.Show("<Click> to continue,,,");
    line.ShowUntil = 0.0f;
    View.ClearFrames = 0;
    line.DrawIfShown();
    EXPECT_EQ(View.ClearFrames, 0);
}

} // namespace
