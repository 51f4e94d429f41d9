#include "ui/Widget.h"

#include "platform/Platform.h"
#include "render/InputState.h"
#include "render/Texture.h"
#include "ui/OverlayText.h"

#include <GL/gl.h>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

const Texture* Widget::ControlsImage = nullptr;

namespace {

// Left-button states of MouseState.
constexpr int ButtonPressed = 1;
constexpr int ButtonHeld = 2;
constexpr int ButtonReleased = 3;

constexpr int KeyEnter = 13;

// The controls image is a 4 x 4 grid of tiles. Each class has one tile, named here by its lower-left
// texture corner (v grows upward, so v 0.75 is the top row of the image); a second look (the slider's
// knob, the toggle switched on, a button pressed) is the tile to its right.
constexpr float TileSize = 0.25f;
constexpr float SliderU = 0.0f, SliderV = 0.75f;
constexpr float ToggleU = 0.5f, ToggleV = 0.75f;
constexpr float ButtonU = 0.0f, ButtonV = 0.5f;
constexpr float IconButtonU = 0.0f, IconButtonV = 0.25f;
constexpr float TitleU = 0.5f, TitleV = 0.5f;

// Enter, Left or Right: the keys that operate a focused toggle or button.
bool OperatingKey(const KeyboardState& keys) {
    return keys.LastKey == KeyEnter || keys.LastSpecialKey == KeyLeft || keys.LastSpecialKey == KeyRight;
}

int ButtonKeyResult(const KeyboardState& keys, int focused) {
    return focused && OperatingKey(keys) ? WidgetActivated : WidgetIdle;
}

} // namespace

void Widget::Setup(const WidgetSetup& setup) {
    // memmove: a refresh may hand the widget its own label.
    const char* label = setup.Label ? setup.Label : "";
    const size_t length = strnlen(label, LabelBytes - 1);
    std::memmove(Label, label, length);
    Label[length] = '\0';
    Id = setup.Id;
    Index = setup.Index;
    Kind = setup.Kind;
    FontSize = setup.FontSize;
    Left = setup.Left;
    Bottom = setup.Bottom;
    Width = setup.Width;
    Height = setup.Height;
    Right = Left + Width;
    Top = Bottom + Height;
}

int Widget::HandleInput(const KeyboardState&, const MouseState&, float, float, float&, int) {
    return WidgetIdle;
}

void Widget::Draw(float, float, int) const {}

int Widget::HitTest(int pointerX, int pointerY, float originX, float originY) const {
    const float x = float(pointerX) - float(int(originX));
    const float y = float(pointerY) - float(int(originY));
    return (Left <= x && x <= Right ? 1 : 0) | (Bottom <= y && y <= Top ? 2 : 0);
}

void Widget::DrawTexturedRect(const Texture* texture, float xFrom, float yFrom, float xTo, float yTo,
                              float uFrom, float vFrom, float uTo, float vTo) {
    glAlphaFunc(GL_GREATER, 0.05f);
    glEnable(GL_ALPHA_TEST);
    glDepthMask(GL_FALSE);
    if (texture) {
        glEnable(GL_TEXTURE_2D);
        texture->Bind();
    }
    // Menus are drawn filled even while the scene is shown as lines or points.
    glPushAttrib(GL_POLYGON_BIT);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glBegin(GL_QUADS);
    glTexCoord2f(uFrom, vFrom);
    glVertex2f(xFrom, yFrom);
    glTexCoord2f(uTo, vFrom);
    glVertex2f(xTo, yFrom);
    glTexCoord2f(uTo, vTo);
    glVertex2f(xTo, yTo);
    glTexCoord2f(uFrom, vTo);
    glVertex2f(xFrom, yTo);
    glEnd();
    glPopAttrib();
    glDisable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, 0.0f);
    glDepthMask(GL_TRUE);
    if (texture)
        glDisable(GL_TEXTURE_2D);
}

void Widget::DrawTile(float originX, float originY, float u, float v) const {
    DrawTexturedRect(ControlsImage, originX + Left, originY + Bottom, originX + Right, originY + Top, u, v,
                     u + TileSize, v + TileSize);
}

void Widget::DrawLabel(float x, float y) const {
    DialogText.Draw(Label, x, y, float(FontSize));
}

void SliderWidget::Setup(const WidgetSetup& setup) {
    Widget::Setup(setup);
    Minimum = setup.Minimum;
    Maximum = setup.Maximum;
    Range = Maximum - Minimum;
    Value = setup.Value;
    IntegerSteps = setup.IntegerSteps;
    Linear = setup.Linear;
}

float SliderWidget::ValueAt(int pointerX, float originX) const {
    float t = Width > 0.0f ? std::clamp((float(pointerX) - originX - Left) / Width, 0.0f, 1.0f) : 0.0f;
    if (!Linear)
        t *= t;
    return t * Range + Minimum;
}

int SliderWidget::HandleInput(const KeyboardState& keys, const MouseState& mouse, float originX,
                              float originY, float& valueOut, int focused) {
    // A press must land on the track; a held drag follows x at any height, and a drag that began on the
    // track and runs past either end of it holds the value at that end.
    const int hit = HitTest(mouse.PointerX, mouse.PointerY, originX, originY);
    const bool pressed = mouse.LeftButton == ButtonPressed && hit == 3;
    const bool held = mouse.LeftButton == ButtonHeld && focused && ((hit & 1) || Dragged);
    Dragged = pressed || (Dragged && mouse.LeftButton == ButtonHeld);
    if (pressed || held) {
        Value = ValueAt(mouse.PointerX, originX);
        valueOut = Value;
        return WidgetActivated;
    }
    if (!focused)
        return WidgetIdle;
    const double step = IntegerSteps ? 1.0 : Range * 0.01;
    if (keys.LastSpecialKey == KeyLeft)
        Value = std::max(float(Value - step), Minimum);
    else if (keys.LastSpecialKey == KeyRight)
        Value = std::min(float(Value + step), Maximum);
    else
        return WidgetIdle;
    valueOut = Value;
    return WidgetActivated;
}

void SliderWidget::Draw(float originX, float originY, int) const {
    // A value outside the range (a stored setting below the slider's minimum) puts the knob at that end,
    // and an empty range at the left end.
    float fraction = Range != 0.0f ? (Value - Minimum) / Range : 0.0f;
    fraction = std::clamp(fraction, 0.0f, 1.0f);
    if (!Linear)
        fraction = std::sqrt(fraction);
    const float knobX = originX + Left + fraction * Width;

    // The track is a thin vertical strip of the tile stretched along the slider.
    DrawTexturedRect(ControlsImage, originX + Left, originY + Bottom + 6.0f, originX + Right,
                     originY + Top - 6.0f, SliderU + 0.1f, SliderV, SliderU + TileSize - 0.1f,
                     SliderV + TileSize);
    DrawTexturedRect(ControlsImage, knobX - 10.0f, originY + Bottom, knobX + 10.0f, originY + Top,
                     SliderU + TileSize, SliderV, SliderU + 2.0f * TileSize, SliderV + TileSize);

    char valueText[32];
    if (IntegerSteps)
        std::snprintf(valueText, sizeof valueText, "%5d", int(Value));
    else
        std::snprintf(valueText, sizeof valueText, "%5.2f", double(Value));
    const float textY = originY + Bottom + 15.0f;
    DrawLabel(originX + Right + float(FontSize) * 150.0f / 20.0f, textY);
    DialogText.Draw(valueText, originX + Right + 15.0f, textY, float(FontSize));
}

void ToggleWidget::Setup(const WidgetSetup& setup) {
    Widget::Setup(setup);
    // Truncated like every float-to-int conversion; a flag beyond every int (a damaged file) is simply on.
    State = std::fabs(setup.Value) < 2147483648.0f ? int(setup.Value) : 1;
}

int ToggleWidget::HandleInput(const KeyboardState& keys, const MouseState& mouse, float originX,
                              float originY, float& valueOut, int focused) {
    if ((mouse.LeftButton == ButtonPressed &&
         HitTest(mouse.PointerX, mouse.PointerY, originX, originY) == 3) ||
        (focused && OperatingKey(keys))) {
        State = !State;
        valueOut = State ? 1.0f : 0.0f;
        return WidgetActivated;
    }
    return WidgetIdle;
}

void ToggleWidget::Draw(float originX, float originY, int focused) const {
    // Green when on, red when off, brighter with the focus and fading with the menu's text.
    const float lit = (focused ? 0.99f : 0.66f) * DialogText.Brightness;
    const float textY = originY + Bottom + 15.0f;
    if (State) {
        DialogText.Draw("On", originX + Right + 25.0f, textY, float(FontSize));
        glColor3f(0.5f * lit, lit, 0.5f * lit);
    } else {
        DialogText.Draw("Off", originX + Right + 25.0f, textY, float(FontSize));
        glColor3f(lit, 0.5f * lit, 0.5f * lit);
    }
    DrawTile(originX, originY, State ? ToggleU + TileSize : ToggleU, ToggleV);
    DrawLabel(originX + Right + float(FontSize) * 150.0f / 30.0f + 20.0f, textY);
}

void ButtonWidget::Setup(const WidgetSetup& setup) {
    Widget::Setup(setup);
    State = 0;
}

int ButtonWidget::HandleInput(const KeyboardState& keys, const MouseState& mouse, float originX,
                              float originY, float&, int focused) {
    const bool inside = HitTest(mouse.PointerX, mouse.PointerY, originX, originY) == 3;
    if (mouse.LeftButton == ButtonPressed && inside) {
        State = 1;
        return WidgetPressed;
    }
    if (mouse.LeftButton == ButtonPressed || mouse.LeftButton == ButtonHeld) {
        // Dragged off the button shows its normal look again, and back on it the pressed look.
        if (focused)
            State = inside ? 1 : 0;
    } else if (mouse.LeftButton == ButtonReleased && inside && focused) {
        State = 1;
        return WidgetActivated;
    }
    return ButtonKeyResult(keys, focused);
}

void ButtonWidget::DrawButton(float originX, float originY, float tileU, float tileV) const {
    DrawTile(originX, originY, State == 1 ? tileU + TileSize : tileU, tileV);
    DrawLabel(originX + Right + 15.0f, originY + Bottom + 15.0f);
}

void ButtonWidget::Draw(float originX, float originY, int) const {
    DrawButton(originX, originY, ButtonU, ButtonV);
}

int IconButtonWidget::HandleInput(const KeyboardState& keys, const MouseState& mouse, float originX,
                                  float originY, float&, int focused) {
    const bool inside = HitTest(mouse.PointerX, mouse.PointerY, originX, originY) == 3;
    if (mouse.LeftButton == ButtonPressed) {
        State = 1;
        return WidgetPressed;
    }
    if (mouse.LeftButton == ButtonHeld)
        State = inside ? 1 : 0;
    else if (mouse.LeftButton == ButtonReleased && inside && focused)
        return WidgetActivated;
    return ButtonKeyResult(keys, focused);
}

void IconButtonWidget::Draw(float originX, float originY, int) const {
    DrawButton(originX, originY, IconButtonU, IconButtonV);
}

int TitleWidget::HandleInput(const KeyboardState& keys, const MouseState& mouse, float originX, float originY,
                             float&, int focused) {
    if (mouse.LeftButton == ButtonPressed && HitTest(mouse.PointerX, mouse.PointerY, originX, originY) == 3) {
        State = 1;
        return WidgetMoveMenu;
    }
    if (mouse.LeftButton == ButtonHeld && focused && State == 1)
        return WidgetMoveMenu;
    if (mouse.LeftButton == ButtonReleased && focused) {
        State = 0;
        return WidgetMoveMenu;
    }
    const int key = keys.LastSpecialKey;
    if (focused && (key == KeyLeft || key == KeyRight || key == KeyPageUp || key == KeyPageDown))
        return WidgetMoveMenu;
    return WidgetIdle;
}

void TitleWidget::Draw(float originX, float originY, int) const {
    DrawTile(originX, originY, TitleU, TitleV);
    DrawLabel(originX + Right + 15.0f, originY + Bottom + 15.0f);
}
