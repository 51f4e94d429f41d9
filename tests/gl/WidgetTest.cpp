// The menu widgets as the dialog drives them: what each frame of input makes of them, and the tiles,
// colours and GL state they leave when drawn.

#include "ui/Widget.h"
#include "render/InputState.h"
#include "render/Texture.h"
#include "support/GlTestFixture.h"

#include <algorithm>
#include <initializer_list>
#include <string>
#include <vector>

namespace {

constexpr float Untouched = -99.0f; // valueOut before each frame

// One frame of input and what the widget makes of it; State -1 is not checked.
struct Frame {
    int Button, X, Y, Key, Special, Focused, Result;
    float Out;
    int State;
};
Frame Pointer(int button, int x, int y, int focused, int result, float out = Untouched, int state = -1) {
    return {button, x, y, 0, 0, focused, result, out, state};
}
Frame Key(int key, int focused, int result, float out = Untouched, int state = -1) {
    return {0, 0, 0, key < 100 ? key : 0, key < 100 ? 0 : key, focused, result, out, state};
}

// A quad from feedback mode: its extent, its texture extent and the colour of its first corner.
struct Quad {
    float XMin, XMax, YMin, YMax, UMin, UMax, VMin, VMax, R, G, B;
};

WidgetSetup At(float left, float bottom, float width, float height) {
    WidgetSetup setup;
    setup.Left = left, setup.Bottom = bottom, setup.Width = width, setup.Height = height;
    return setup;
}
WidgetSetup Slider(float minimum, float maximum, float value, int integerSteps, int linear) {
    WidgetSetup setup = At(30.0f, 100.0f, 140.0f, 24.0f);
    setup.Minimum = minimum, setup.Maximum = maximum, setup.Value = value;
    setup.IntegerSteps = integerSteps, setup.Linear = linear;
    return setup;
}
const WidgetSetup Box = At(30.0f, 100.0f, 30.0f, 30.0f); // (45, 115) lies inside, (100, 115) outside

class WidgetTest : public gltest::TextTest {
protected:
    void SetUp() override {
        TextTest::SetUp();
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA); // as the program rests
    }
    void TearDown() override {
        Widget::ControlsImage = nullptr;
        TextTest::TearDown();
    }

    // The tiles a widget draws (its text lies further right), drawn while the scene is in line mode: they
    // must come out filled and leave OpenGL resting, line mode included.
    static std::vector<Quad> Tiles(const Widget& widget, float originX, float originY, int focused) {
        glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
        const std::vector<GLfloat> values =
            gltest::Feedback(GL_3D_COLOR_TEXTURE, 1 << 14, [&] { widget.Draw(originX, originY, focused); });
        gltest::ExpectRestingState();
        GLint mode[2] = {};
        glGetIntegerv(GL_POLYGON_MODE, mode);
        EXPECT_EQ(mode[0], GL_LINE);
        glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);

        std::vector<Quad> quads; // two triangles of a token, a count and three corners of 11 values
        for (size_t i = 0; i + 70 <= values.size(); i += 70) {
            EXPECT_EQ(values[i], GLfloat(GL_POLYGON_TOKEN));
            const GLfloat* c = &values[i + 2];
            Quad q{c[0], c[0], c[1], c[1], c[7], c[7], c[8], c[8], c[3], c[4], c[5]};
            for (int corner = 0; corner < 6; ++corner, c += corner == 3 ? 13 : 11) {
                q.XMin = std::min(q.XMin, c[0]), q.XMax = std::max(q.XMax, c[0]);
                q.YMin = std::min(q.YMin, c[1]), q.YMax = std::max(q.YMax, c[1]);
                q.UMin = std::min(q.UMin, c[7]), q.UMax = std::max(q.UMax, c[7]);
                q.VMin = std::min(q.VMin, c[8]), q.VMax = std::max(q.VMax, c[8]);
            }
            if (q.XMin < originX + widget.Right + 5.0f)
                quads.push_back(q);
        }
        return quads;
    }
};

TEST_F(WidgetTest, EveryKindAnswersPressesDragsReleasesAndKeys) {
    SliderWidget linear, squareRoot, integer, hundredths, drag;
    ToggleWidget toggle;
    ButtonWidget button;
    IconButtonWidget icon;
    TitleWidget title;
    const struct {
        Widget* Target;
        WidgetSetup Setup;
        std::vector<Frame> Frames;
    } cases[] = {
        {&linear, Slider(0, 20, 0, 0, 1), {Pointer(1, 100, 110, 0, 1, 10.0f), Pointer(1, 100, 125, 1, 0)}},
        {&squareRoot, Slider(0, 20, 0, 0, 0), {Pointer(1, 100, 110, 0, 1, 5.0f)}},
        {&integer,
         Slider(1, 3.8f, 1, 1, 1),
         {Key(KeyRight, 1, 1, 2.0f), Key(KeyRight, 1, 1, 3.0f), Key(KeyRight, 1, 1, 3.8f),
          Key(KeyLeft, 1, 1, 2.8f), Key(KeyRight, 0, 0), Key(KeyUp, 1, 0), Key(13, 1, 0),
          Pointer(1, 170, 124, 0, 1, 3.8f)}},
        {&hundredths, Slider(0.1f, 4, 0.12f, 0, 0), {Key(KeyLeft, 1, 1, 0.1f), Key(KeyRight, 1, 1, 0.139f)}},
        // Held, it follows x at any height until the pointer leaves the track sideways.
        {&drag,
         Slider(0, 20, 0, 0, 1),
         {Pointer(2, 65, 300, 1, 1, 5.0f), Pointer(2, 170, 0, 1, 1, 20.0f), Pointer(2, 171, 110, 1, 0),
          Pointer(2, 100, 110, 0, 0), Pointer(3, 100, 110, 1, 0)}},
        // Flipped on the press, focused or not; by Enter only with focus.
        {&toggle,
         Box,
         {Pointer(1, 45, 115, 0, 1, 1.0f, 1), Pointer(3, 45, 115, 1, 0, Untouched, 1),
          Pointer(1, 100, 115, 1, 0, Untouched, 1), Key(13, 0, 0, Untouched, 1), Key(13, 1, 1, 0.0f, 0),
          Key(KeyRight, 1, 1, 1.0f, 1), Key(KeyUp, 1, 0)}},
        // Dragged off and on, only a focused button changes its look; it fires on a focused release on it.
        {&button,
         Box,
         {Pointer(1, 45, 115, 0, 2, Untouched, 1), Pointer(2, 100, 115, 0, 0, Untouched, 1),
          Pointer(2, 100, 115, 1, 0, Untouched, 0), Pointer(2, 45, 115, 1, 0, Untouched, 1),
          Pointer(2, 100, 115, 1, 0, Untouched, 0), Pointer(3, 100, 115, 1, 0, Untouched, 0),
          Pointer(3, 45, 115, 0, 0, Untouched, 0), Pointer(3, 45, 115, 1, 1, Untouched, 1), Key(13, 1, 1),
          Key(KeyLeft, 1, 1), Key(KeyDown, 1, 0), Key(13, 0, 0)}},
        // The icon button takes every press and follows the pointer unfocused; its release keeps the look.
        {&icon,
         Box,
         {Pointer(1, 100, 115, 0, 2, Untouched, 1), Pointer(2, 100, 115, 0, 0, Untouched, 0),
          Pointer(2, 45, 115, 0, 0, Untouched, 1), Pointer(2, 100, 115, 0, 0, Untouched, 0),
          Pointer(3, 45, 115, 1, 1, Untouched, 0), Pointer(3, 45, 115, 0, 0)}},
        {&title,
         Box,
         {Pointer(1, 100, 115, 1, 0, Untouched, 0), Pointer(1, 45, 115, 0, 3, Untouched, 1),
          Pointer(2, 200, 300, 1, 3, Untouched, 1), Pointer(2, 200, 300, 0, 0, Untouched, 1),
          Pointer(3, 200, 300, 0, 0, Untouched, 1), Pointer(3, 200, 300, 1, 3, Untouched, 0),
          Pointer(2, 45, 115, 1, 0, Untouched, 0), Key(KeyLeft, 1, 3), Key(KeyRight, 1, 3),
          Key(KeyPageUp, 1, 3), Key(KeyPageDown, 1, 3), Key(KeyUp, 1, 0), Key(13, 1, 0), Key(KeyLeft, 0, 0)}},
    };
    for (const auto& c : cases) {
        c.Target->Setup(c.Setup);
        for (size_t i = 0; i < c.Frames.size(); ++i) {
            const Frame& f = c.Frames[i];
            KeyboardState keys;
            keys.LastKey = f.Key, keys.LastSpecialKey = f.Special;
            MouseState mouse;
            mouse.LeftButton = f.Button, mouse.PointerX = f.X, mouse.PointerY = f.Y;
            float out = Untouched;
            EXPECT_EQ(c.Target->HandleInput(keys, mouse, 0.0f, 0.0f, out, f.Focused), f.Result)
                << "case " << &c - cases << ", frame " << i;
            EXPECT_NEAR(out, f.Out, 1e-4f) << "case " << &c - cases << ", frame " << i;
            EXPECT_TRUE(f.State < 0 || c.Target->State == f.State)
                << "case " << &c - cases << ", frame " << i;
        }
    }
}

TEST_F(WidgetTest, SetupBoundsTheLabelAndHitTestTruncatesTheOrigin) {
    const std::string longLabel(100, 'x');
    WidgetSetup setup = Slider(0, 1, 1.7f, 0, 0);
    setup.Label = longLabel.c_str();
    ToggleWidget toggle;
    toggle.Setup(setup);
    EXPECT_EQ(std::string(toggle.Label), longLabel.substr(0, 79));
    EXPECT_EQ(toggle.State, 1);
    setup.Label = toggle.Label + 70; // a refresh may hand the widget its own label
    setup.Value = 0.9f;
    toggle.Setup(setup);
    EXPECT_STREQ(toggle.Label, "xxxxxxxxx");
    EXPECT_EQ(toggle.State, 0);

    const struct {
        int X, Y;
        float OriginX, OriginY;
        int Bits;
    } cases[] = {{30, 100, 0, 0, 3},  {170, 124, 0, 0, 3},       {29, 110, 0, 0, 2},
                 {100, 125, 0, 0, 1}, {40, 95, 10.9f, -5.9f, 3}, {29, 110, -0.9f, 0, 2}};
    for (const auto& c : cases)
        EXPECT_EQ(toggle.HitTest(c.X, c.Y, c.OriginX, c.OriginY), c.Bits) << c.X << ", " << c.Y;
}

TEST_F(WidgetTest, EachClassDrawsItsTilesInTheCallersColourOrItsTint) {
    Texture tiles;
    glGenTextures(1, &tiles.Name);
    for (const Texture* texture : std::initializer_list<const Texture*>{nullptr, &tiles}) {
        Widget::DrawTexturedRect(texture, 0, 0, 10, 10, 0, 0, 1, 1);
        gltest::ExpectRestingState();
    }
    Widget::ControlsImage = &tiles;
    SliderWidget slider, below, empty, above, integer;
    ToggleWidget toggle;
    ButtonWidget button;
    IconButtonWidget icon;
    TitleWidget title;
    slider.Setup(Slider(0, 20, 5, 0, 0));
    below.Setup(Slider(0.01f, 1, 0, 0, 0)); // a stored value under the minimum: no square root of a negative
    empty.Setup(Slider(5, 5, 5, 0, 1));
    above.Setup(Slider(0, 20, 30, 0, 1));
    integer.Setup(Slider(1, 3.8f, 3.8f, 1, 1));
    for (Widget* widget : std::initializer_list<Widget*>{&toggle, &button, &icon, &title})
        widget->Setup(Box);
    const float b = 0.75f; // the caller's colour
    const struct {
        Widget* Target;
        int State, Focused, Tile;
        Quad Expected;
        const char* LastText;
    } cases[] = {
        {&slider, 0, 0, 0, {40, 180, 126, 138, 0.1f, 0.15f, 0.75f, 1, b, b, b}, " 5.00"},  // track
        {&slider, 0, 0, 1, {100, 120, 120, 144, 0.25f, 0.5f, 0.75f, 1, b, b, b}, " 5.00"}, // knob at 0.5
        {&below, 0, 0, 1, {30, 50, 120, 144, 0.25f, 0.5f, 0.75f, 1, b, b, b}, " 0.00"},
        {&empty, 0, 0, 1, {30, 50, 120, 144, 0.25f, 0.5f, 0.75f, 1, b, b, b}, " 5.00"},
        {&above, 0, 0, 1, {170, 190, 120, 144, 0.25f, 0.5f, 0.75f, 1, b, b, b}, "30.00"},
        {&integer, 0, 0, 1, {170, 190, 120, 144, 0.25f, 0.5f, 0.75f, 1, b, b, b}, "    3"},
        {&toggle, 0, 0, 0, {40, 70, 120, 150, 0.5f, 0.75f, 0.75f, 1, 0.66f, 0.33f, 0.33f}, ""},
        {&toggle, 1, 1, 0, {40, 70, 120, 150, 0.75f, 1, 0.75f, 1, 0.495f, 0.99f, 0.495f}, ""},
        {&button, 0, 0, 0, {40, 70, 120, 150, 0, 0.25f, 0.5f, 0.75f, b, b, b}, ""},
        {&button, 1, 0, 0, {40, 70, 120, 150, 0.25f, 0.5f, 0.5f, 0.75f, b, b, b}, ""},
        {&icon, 1, 1, 0, {40, 70, 120, 150, 0.25f, 0.5f, 0.25f, 0.5f, b, b, b}, ""},
        {&title, 0, 0, 0, {40, 70, 120, 150, 0.5f, 0.75f, 0.5f, 0.75f, b, b, b}, ""},
    };
    for (const auto& c : cases) {
        c.Target->State = c.State;
        glColor3f(b, b, b);
        const std::vector<Quad> quads = Tiles(*c.Target, 10.0f, 20.0f, c.Focused);
        ASSERT_EQ(quads.size(), dynamic_cast<SliderWidget*>(c.Target) ? 2u : 1u) << &c - cases;
        for (float Quad::*field : {&Quad::XMin, &Quad::XMax, &Quad::YMin, &Quad::YMax, &Quad::UMin,
                                   &Quad::UMax, &Quad::VMin, &Quad::VMax, &Quad::R, &Quad::G, &Quad::B})
            EXPECT_NEAR(quads[c.Tile].*field, c.Expected.*field, 1e-3f) << "case " << &c - cases;
        EXPECT_STREQ(DialogText.Text, c.LastText) << &c - cases;
    }
    glDeleteTextures(1, &tiles.Name);
}

} // namespace
