// What is drawn over the view as OpenGL receives it, in window pixels: the timed status line, and the menu
// widgets frame by frame, what each makes of presses, holds, releases and keys, and what each draws.

#include "support/GlTestFixture.h"

#include <cmath>
#include <vector>

namespace {

using namespace support;
using gltest::ResetProgram;
constexpr float None = -99.0f; // the value out before each frame

// The text objects linked, an empty font and a whole-window pixel projection.
class OverlayTest : public gltest::GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        ResetProgram();
        OverlayText::Font = &Font;
        OverlayText::WaveBank = &TextWaveBank;
        OverlayText::ClockLink = &Clock;
        OverlayText::ViewLink = &View;
        TextWaveBank.Init(8);
        View.Reshape(gltest::WindowWidth, gltest::WindowHeight);
        View.SetLetterbox(0);
        View.BeginOrtho();
    }

    Texture Font;
};

// A message shows for three seconds from its own call, replacing any other at once; on expiry it asks once
// for a full clear. Taken away directly it asks for none.
TEST_F(OverlayTest, MessagesLastThreeSeconds) {
    StatusLine.X = 20.0f;
    StatusLine.Y = 460.0f;
    Clock.Now = 1.0f;
    StatusLine.ShowFormatted("Rotate Speed: %4.2f", 1.1f);
    EXPECT_STREQ(StatusLine.Text, "Rotate Speed: 1.10");
    Clock.Now = 2.5f; // the next message replaces it at once, for three seconds of its own
    StatusLine.ShowFormatted("Letterbox: %1d", 3);
    const struct {
        float Now;
        const char* Shown;
        int ClearFrames;
    } steps[] = {{3.9f, "Letterbox: 3", 0}, {5.4f, "Letterbox: 3", 0}, {5.5f, "", 1}, {6.0f, "", 0}};
    for (const auto& step : steps) {
        Clock.Now = step.Now;
        View.ClearFrames = 0;
        EXPECT_EQ(CaptureFeedback([] { StatusLine.DrawIfShown(); }).Glyphs(), step.Shown) << step.Now;
        EXPECT_EQ(View.ClearFrames, step.ClearFrames) << step.Now;
    }
    StatusLine.Show("<Click> to continue,,,");
    StatusLine.ShowUntil = 0.0f;
    StatusLine.DrawIfShown();
    EXPECT_EQ(View.ClearFrames, 0);
}

// One frame of input and what the widget makes of it; State -1 is not checked.
struct Frame {
    int Button, X, Y, Key, Focused, Result;
    float Out;
    int State;
};
Frame P(int button, int x, int y, int focused, int result, float out = None, int state = -1) {
    return {button, x, y, 0, focused, result, out, state};
}
Frame K(int key, int focused, int result, float out = None, int state = -1) {
    return {0, 0, 0, key, focused, result, out, state};
}

// A widget at (30, 100) of the given size, labelled "Row"; a slider with its range and flags.
WidgetSetup At(float width, float height, float minimum = 0, float maximum = 0, float value = 0,
               int integer = 0, int linear = 0) {
    return {"Row", 0, 0, 0, 30, 100, width, height, 10, value, minimum, maximum, integer, linear};
}
const WidgetSetup Box = At(30, 30); // (45, 115) lies inside, and so do its edges; (100, 115) outside

// A slider takes a press on its track, follows a held pointer (focused) along it at any height until the
// pointer leaves it sideways (where a drag that began on the track holds the end's value), and steps by 1
// (integer) or a hundredth of its range with Left and Right, within its ends. A toggle flips on a press, or
// on Enter, Left or Right while focused. A button shows its pressed look while held on it (focused) and fires
// on a focused release on it; an icon button takes every press and follows the pointer unfocused. The title
// asks to move the menu while held and for the moving keys.
TEST_F(OverlayTest, EachWidgetAnswersPressesHoldsReleasesAndKeysAndDrawsItsTileAndText) {
    SliderWidget integer, hundredths, dragged;
    ToggleWidget toggle, off;
    ButtonWidget button;
    IconButtonWidget icon;
    TitleWidget title;
    const struct {
        Widget* Target;
        WidgetSetup Setup;
        std::vector<Frame> Frames;
    } cases[] = {
        {&integer,
         At(140, 24, 1, 3.8f, 1, 1, 1),
         {K(KeyRight, 1, 1, 2), K(KeyRight, 1, 1, 3), K(KeyRight, 1, 1, 3.8f), K(KeyLeft, 1, 1, 2.8f),
          K(KeyRight, 0, 0), K(KeyUp, 1, 0), K(13, 1, 0)}},
        {&hundredths, At(140, 24, 0.1f, 4, 0.12f), {K(KeyLeft, 1, 1, 0.1f), K(KeyRight, 1, 1, 0.139f)}},
        {&dragged,
         At(140, 24, 0, 20, 0, 0, 1),
         {P(2, 65, 300, 1, 1, 5), P(2, 170, 0, 1, 1, 20), P(2, 171, 110, 1, 0), P(2, 100, 110, 0, 0),
          P(3, 100, 110, 1, 0), P(1, 100, 110, 1, 1, 10), P(2, 200, 110, 1, 1, 20), P(2, 0, 300, 1, 1, 0)}},
        {&toggle,
         Box,
         {P(1, 100, 115, 1, 0), K(13, 0, 0), K(13, 1, 1, 1, 1), K(KeyRight, 1, 1, 0, 0),
          K(KeyLeft, 1, 1, 1, 1), K(KeyUp, 1, 0)}},
        {&button,
         Box,
         {P(1, 30, 130, 0, 2, None, 1), P(2, 100, 115, 0, 0, None, 1), P(2, 100, 115, 1, 0, None, 0),
          P(2, 45, 115, 1, 0, None, 1), P(3, 100, 115, 1, 0), P(3, 45, 115, 0, 0),
          P(3, 45, 115, 1, 1, None, 1), K(13, 1, 1), K(KeyLeft, 1, 1), K(KeyDown, 1, 0), K(13, 0, 0)}},
        {&icon,
         Box,
         {P(1, 100, 115, 0, 2, None, 1), P(2, 100, 115, 0, 0, None, 0), P(2, 45, 115, 0, 0, None, 1),
          P(3, 60, 100, 1, 1, None, 1), P(3, 45, 115, 0, 0)}},
        {&title,
         Box,
         {P(1, 100, 115, 1, 0, None, 0), P(1, 45, 115, 0, 3, None, 1), P(2, 200, 300, 1, 3),
          P(2, 200, 300, 0, 0), P(3, 200, 300, 1, 3, None, 0), P(2, 45, 115, 1, 0), K(KeyLeft, 1, 3),
          K(KeyRight, 1, 3), K(KeyPageUp, 1, 3), K(KeyPageDown, 1, 3), K(KeyUp, 1, 0), K(13, 1, 0),
          K(KeyLeft, 0, 0)}},
    };
    for (const auto& c : cases) {
        c.Target->Setup(c.Setup);
        for (const Frame& f : c.Frames) {
            KeyboardState keys;
            if (f.Key < KeyLeft)
                keys.LastKey = f.Key;
            else
                keys.LastSpecialKey = f.Key;
            MouseState mouse;
            mouse.LeftButton = f.Button;
            mouse.PointerX = f.X;
            mouse.PointerY = f.Y;
            float out = None;
            const int result = c.Target->HandleInput(keys, mouse, 0.0f, 0.0f, out, f.Focused);
            EXPECT_TRUE(result == f.Result && std::fabs(out - f.Out) < 1e-4f &&
                        (f.State < 0 || c.Target->State == f.State))
                << "case " << &c - cases << ", frame " << &f - c.Frames.data() << ": " << result << ", "
                << out;
        }
    }
    // At the origin (10, 20): each class's tile of the 4 x 4 controls image (its second look one tile to the
    // right) over its rectangle, a toggle tinted green when on and red when off (fading with the menu's
    // text), the slider's knob at the square root of the value's place (linear on request) and its track a
    // thin strip of its tile, the value beside the track; labels 15 pixels right of the box, or fs x 150 / 20
    // right of a slider, fs x 150 / 30 + 20 right of a toggle after its "On" or "Off". Drawn filled in the
    // scene's line mode, and leaving OpenGL at rest.
    Texture tiles;
    Widget::ControlsImage = &tiles;
    dragged.Setup(At(140, 24, 0, 20, 5));
    integer.Setup(At(140, 24, 1, 3.8f, 3.8f, 1, 1));
    toggle.Setup(At(30, 30, 0, 0, 1)); // on
    off.Setup(Box);
    button.Setup(Box); // released; the icon button and the title keep their places from above
    icon.State = 1;    // pressed
    DialogText.AlphaTestOn = 0;
    DialogText.Brightness = 0.5f; // as on a control page, half faded in
    const struct {
        const Widget* Target;
        int Focused, Tile, Text; // the polygons where the tile looked at and the text begin
        FeedbackBox Box;         // of the tile
        float Red, Green, TextX; // the tile's colour; the text's left edge
        const char* Shown;
    } looks[] = {
        {&dragged, 0, 0, 4, {40, 126, 180, 138, 0.1f, 0.75f, 0.15f, 1}, 0.7f, 0.7f, 250, "Row 5.00"},
        {&integer, 0, 2, 4, {170, 120, 190, 144, 0.25f, 0.75f, 0.5f, 1}, 0.7f, 0.7f, 250, "Row    3"},
        {&toggle, 1, 4, 0, {40, 120, 70, 150, 0.75f, 0.75f, 1, 1}, 0.2475f, 0.495f, 90, "OnRow"},
        {&off, 0, 6, 0, {40, 120, 70, 150, 0.5f, 0.75f, 0.75f, 1}, 0.33f, 0.165f, 90, "OffRow"},
        {&button, 0, 0, 2, {40, 120, 70, 150, 0, 0.5f, 0.25f, 0.75f}, 0.7f, 0.7f, 80, "Row"},
        {&icon, 1, 0, 2, {40, 120, 70, 150, 0.25f, 0.25f, 0.5f, 0.5f}, 0.7f, 0.7f, 80, "Row"},
        {&title, 0, 0, 2, {40, 120, 70, 150, 0.5f, 0.5f, 0.75f, 0.75f}, 0.7f, 0.7f, 80, "Row"}};
    for (const auto& c : looks) {
        glColor3f(0.7f, 0.7f, 0.7f);
        glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
        const Feedback sent = CaptureFeedback([&] { c.Target->Draw(10.0f, 20.0f, c.Focused); });
        gltest::ExpectRestingState();
        GLint mode[2];
        glGetIntegerv(GL_POLYGON_MODE, mode);
        const FeedbackVertex& corner = sent.Primitives[size_t(c.Tile)].Vertices[0];
        EXPECT_TRUE(Near(sent.Bounds(size_t(c.Tile), 2), c.Box)) << &c - looks;
        EXPECT_TRUE(std::fabs(corner.R - c.Red) + std::fabs(corner.G - c.Green) < 1e-3f) << &c - looks;
        EXPECT_NEAR(sent.Bounds(size_t(c.Text), 2).MinX, c.TextX, 1e-3f) << &c - looks;
        EXPECT_NEAR(sent.Bounds(size_t(c.Text), 2).MinY, 125.0f, 1e-3f) << &c - looks;
        EXPECT_TRUE(mode[0] == GL_LINE &&
                    sent.Count(FeedbackPrimitive::Polygon) == int(sent.Primitives.size()));
        EXPECT_EQ(sent.Glyphs(), c.Shown);
    }
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
}

} // namespace
