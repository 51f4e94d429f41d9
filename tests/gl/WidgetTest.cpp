// The menu widgets frame by frame: what each kind makes of presses, holds, releases and keys, and the
// tiles, colours and text it draws (captured in feedback, in window pixels).

#include "ui/Widget.h"
#include "render/InputState.h"
#include "support/GlTestFixture.h"

#include <cmath>
#include <initializer_list>
#include <vector>

namespace {

using namespace support;
constexpr float None = -99.0f; // the value out before each frame

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

WidgetSetup At(float width, float height, float minimum = 0, float maximum = 0, float value = 0,
               int integer = 0, int linear = 0) {
    WidgetSetup setup;
    setup.Label = "Row", setup.Left = 30, setup.Bottom = 100, setup.Width = width, setup.Height = height;
    setup.Minimum = minimum, setup.Maximum = maximum, setup.Value = value;
    setup.IntegerSteps = integer, setup.Linear = linear;
    return setup;
}
const WidgetSetup Box = At(30, 30); // (45, 115) lies inside, (100, 115) outside

class WidgetTest : public gltest::TextTest {};

// A slider takes a press on its track, follows a held pointer (focused) along it at any height until the
// pointer leaves it sideways, and steps by 1 (integer) or a hundredth of its range with Left and Right,
// within its ends. A toggle flips on a press, or on Enter, Left or Right while focused. A button shows
// its pressed look while held on it (focused) and fires on a focused release on it; an icon button takes
// every press and follows the pointer unfocused. The title asks to move the menu while held and for the
// moving keys.
TEST_F(WidgetTest, EachWidgetAnswersPressesHoldsReleasesAndKeys) {
    SliderWidget integer, hundredths, dragged;
    ToggleWidget toggle;
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
          K(KeyRight, 0, 0), K(KeyUp, 1, 0), K(13, 1, 0), P(1, 170, 124, 0, 1, 3.8f), P(1, 100, 125, 1, 0)}},
        {&hundredths, At(140, 24, 0.1f, 4, 0.12f), {K(KeyLeft, 1, 1, 0.1f), K(KeyRight, 1, 1, 0.139f)}},
        {&dragged,
         At(140, 24, 0, 20, 0, 0, 1),
         {P(2, 65, 300, 1, 1, 5), P(2, 170, 0, 1, 1, 20), P(2, 171, 110, 1, 0), P(2, 100, 110, 0, 0),
          P(3, 100, 110, 1, 0)}},
        {&toggle,
         Box,
         {P(1, 45, 115, 0, 1, 1, 1), P(3, 45, 115, 1, 0, None, 1), P(1, 100, 115, 1, 0), K(13, 0, 0),
          K(13, 1, 1, 0, 0), K(KeyRight, 1, 1, 1, 1), K(KeyLeft, 1, 1, 0, 0), K(KeyUp, 1, 0)}},
        {&button,
         Box,
         {P(1, 45, 115, 0, 2, None, 1), P(2, 100, 115, 0, 0, None, 1), P(2, 100, 115, 1, 0, None, 0),
          P(2, 45, 115, 1, 0, None, 1), P(3, 100, 115, 1, 0), P(3, 45, 115, 0, 0),
          P(3, 45, 115, 1, 1, None, 1), K(13, 1, 1), K(KeyLeft, 1, 1), K(KeyDown, 1, 0), K(13, 0, 0)}},
        {&icon,
         Box,
         {P(1, 100, 115, 0, 2, None, 1), P(2, 100, 115, 0, 0, None, 0), P(2, 45, 115, 0, 0, None, 1),
          P(3, 45, 115, 1, 1, None, 1), P(3, 45, 115, 0, 0)}},
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
            SCOPED_TRACE(testing::Message() << "case " << &c - cases << ", frame " << &f - c.Frames.data());
            KeyboardState keys;
            (f.Key < KeyLeft ? keys.LastKey : keys.LastSpecialKey) = f.Key;
            MouseState mouse;
            mouse.LeftButton = f.Button, mouse.PointerX = f.X, mouse.PointerY = f.Y;
            float out = None;
            EXPECT_EQ(c.Target->HandleInput(keys, mouse, 0.0f, 0.0f, out, f.Focused), f.Result);
            EXPECT_NEAR(out, f.Out, 1e-4f);
            EXPECT_TRUE(f.State < 0 || c.Target->State == f.State);
        }
    }
}

// At the origin (10, 20): each class's tile of the 4 x 4 controls image (its second look one tile to the
// right) over its rectangle in the caller's colour, a toggle tinted green when on and red when off (fading
// with the menu's text), the
// slider's knob at the (square root of the) value's place with the value beside the track; labels 15
// pixels right of the box, or fs x 150 / 20 right of a slider, with toggles' "On" or "Off" first.
TEST_F(WidgetTest, EachWidgetDrawsItsTileAndText) {
    Texture tiles;
    Widget::ControlsImage = &tiles;
    SliderWidget slider, integer;
    ToggleWidget off, on;
    ButtonWidget button, pressed;
    IconButtonWidget icon;
    TitleWidget title;
    slider.Setup(At(140, 24, 0, 20, 5));
    integer.Setup(At(140, 24, 1, 3.8f, 3.8f, 1, 1));
    WidgetSetup onSetup = Box;
    onSetup.Value = 1;
    for (Widget* w : std::initializer_list<Widget*>{&off, &button, &pressed, &icon, &title})
        w->Setup(Box);
    on.Setup(onSetup);
    pressed.State = icon.State = 1;
    DialogText.AlphaTestOn = 0, DialogText.Brightness = 0.5f; // as on a control page, half faded in
    const struct {
        const Widget* Target;
        int Focused, Tile, Text; // the polygons where the tile looked at and the text begin
        float Box[4], U, V, Colour[3];
        const char* Shown;
        float TextX; // where the first text is anchored
    } cases[] = {
        {&slider, 0, 0, 4, {40, 180, 126, 138}, 0.1f, 0.75f, {0.7f, 0.7f, 0.7f}, "Row 5.00", 255},   // track
        {&slider, 0, 2, 4, {100, 120, 120, 144}, 0.25f, 0.75f, {0.7f, 0.7f, 0.7f}, "Row 5.00", 255}, // knob
        {&integer, 0, 2, 4, {170, 190, 120, 144}, 0.25f, 0.75f, {0.7f, 0.7f, 0.7f}, "Row    3", 255},
        {&off, 0, 6, 0, {40, 70, 120, 150}, 0.5f, 0.75f, {0.33f, 0.165f, 0.165f}, "OffRow", 95},
        {&on, 1, 4, 0, {40, 70, 120, 150}, 0.75f, 0.75f, {0.2475f, 0.495f, 0.2475f}, "OnRow", 95},
        {&button, 0, 0, 2, {40, 70, 120, 150}, 0, 0.5f, {0.7f, 0.7f, 0.7f}, "Row", 85},
        {&pressed, 0, 0, 2, {40, 70, 120, 150}, 0.25f, 0.5f, {0.7f, 0.7f, 0.7f}, "Row", 85},
        {&icon, 1, 0, 2, {40, 70, 120, 150}, 0.25f, 0.25f, {0.7f, 0.7f, 0.7f}, "Row", 85},
        {&title, 0, 0, 2, {40, 70, 120, 150}, 0.5f, 0.5f, {0.7f, 0.7f, 0.7f}, "Row", 85},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        glColor3f(0.7f, 0.7f, 0.7f);
        glPolygonMode(GL_FRONT_AND_BACK, GL_LINE); // the scene's line mode: widgets stay filled
        const Feedback sent = CaptureFeedback([&] { c.Target->Draw(10.0f, 20.0f, c.Focused); });
        gltest::ExpectRestingState();
        GLint mode[2];
        glGetIntegerv(GL_POLYGON_MODE, mode);
        EXPECT_EQ(mode[0], GL_LINE);
        ASSERT_EQ(sent.Count(FeedbackPrimitive::Polygon), int(sent.Primitives.size()));
        const FeedbackBox b = sent.Bounds(c.Tile, 2), text = sent.Bounds(c.Text, 2);
        const auto near = [](float x, float y) { return std::fabs(x - y) < 1e-4f; };
        EXPECT_TRUE(near(b.MinX, c.Box[0]) && near(b.MaxX, c.Box[1]) && near(b.MinY, c.Box[2]) &&
                    near(b.MaxY, c.Box[3]));
        const float width = c.Target == &slider && c.Tile == 0 ? 0.05f : 0.25f; // the track: a thin strip
        EXPECT_TRUE(near(b.MinS, c.U) && near(b.MaxS, c.U + width) && near(b.MinT, c.V) &&
                    near(b.MaxT, c.V + 0.25f));
        const FeedbackVertex& corner = sent.Primitives[size_t(c.Tile)].Vertices[0];
        EXPECT_TRUE(near(corner.R, c.Colour[0]) && near(corner.G, c.Colour[1]) &&
                    near(corner.B, c.Colour[2]));
        EXPECT_EQ(sent.Glyphs(), c.Shown);
        EXPECT_TRUE(near(text.MinX, c.TextX - 5.0f) && near(text.MinY, 125.0f))
            << text.MinX << ", " << text.MinY;
    }
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
}

} // namespace
