#pragma once

class KeyboardState;
class MouseState;
class Texture;

// The widget kinds as the menu builder numbers them.
enum WidgetKind { SliderKind = 0, ToggleKind = 1, ButtonKind = 2, IconButtonKind = 3, TitleKind = 4 };

// What HandleInput reports to the dialog.
enum WidgetResult {
    WidgetIdle = 0,      // nothing happened
    WidgetActivated = 1, // sliders and toggles have written their new value
    WidgetPressed = 2,   // the widget took the button press
    WidgetMoveMenu = 3   // the title asks the dialog to move the menu
};

// Everything Setup hands to a widget. The dialog fills one of these for every row of a menu and sets up
// each kind through the same virtual call; a class reads the fields it needs and ignores the rest.
struct WidgetSetup {
    const char* Label = ""; // copied, at most 79 characters; null reads as empty
    int Id = 0;
    int Index = 0;
    int Kind = 0;
    float Left = 0.0f, Bottom = 0.0f, Width = 0.0f, Height = 0.0f;
    int FontSize = 10;    // glyph size of the menu being built
    float Value = 0.0f;   // slider value; toggle state, truncated
    float Minimum = 0.0f; // slider only, from here on
    float Maximum = 0.0f;
    int IntegerSteps = 0;
    int Linear = 0; // 0: the knob sits at the square root of the value's fraction of the range
};

// One control of a popup menu: a rectangle relative to the menu's origin (overlay units, y up), a label
// and the id the dialog reports when the control is activated. Controls draw tiles of the controls image
// with the GL colour the dialog sets, and their text through DialogText.
class Widget {
public:
    static constexpr int LabelBytes = 80;

    virtual ~Widget() = default;

    // Stores the common fields and computes Right and Top; may be called again to refresh a live widget.
    virtual void Setup(const WidgetSetup& setup);
    // keys and mouse hold this frame's input; valueOut receives the new value when a slider or toggle
    // reports WidgetActivated. focused is 1 for the widget that holds the dialog's keyboard focus.
    virtual int HandleInput(const KeyboardState& keys, const MouseState& mouse, float originX, float originY,
                            float& valueOut, int focused);
    virtual void Draw(float originX, float originY, int focused) const;

    // Bit 0: the pointer lies within the widget's horizontal extent; bit 1: within its vertical extent;
    // edges count as inside. The origin is truncated toward zero first, as the pointer is in whole pixels.
    int HitTest(int pointerX, int pointerY, float originX, float originY) const;

    // One quad from (xFrom, yFrom) to (xTo, yTo) with the texture corners (uFrom, vFrom) to (uTo, vTo), cut
    // out by the alpha test rather than blended, filled in every polygon mode, in the current colour;
    // untextured when texture is null. Leaves OpenGL in its resting state.
    static void DrawTexturedRect(const Texture* texture, float xFrom, float yFrom, float xTo, float yTo,
                                 float uFrom, float vFrom, float uTo, float vTo);

    char Label[LabelBytes] = {};
    int Id = 0;
    int Index = 0; // slot in the dialog
    int Kind = 0;
    int State = 0; // toggle: on; buttons: drawn pressed; title: held for dragging
    int FontSize = 10;
    float Left = 0.0f, Bottom = 0.0f, Width = 0.0f, Height = 0.0f;
    float Right = 0.0f, Top = 0.0f;

    // The 4 x 4 grid of control tiles, shared by every widget; set once at start-up. Null draws untextured.
    static const Texture* ControlsImage;

protected:
    // The widget's rectangle filled with the tile whose lower-left texture corner is (u, v).
    void DrawTile(float originX, float originY, float u, float v) const;
    // The label at the given anchor in the widget's font size.
    void DrawLabel(float x, float y) const;
};

// A number between a minimum and a maximum, set by a press on the track, by dragging along it, or by
// Left and Right in steps of 1 (integer steps) or of a hundredth of the range.
class SliderWidget : public Widget {
public:
    void Setup(const WidgetSetup& setup) override;
    int HandleInput(const KeyboardState& keys, const MouseState& mouse, float originX, float originY,
                    float& valueOut, int focused) override;
    void Draw(float originX, float originY, int focused) const override;

    float Minimum = 0.0f;
    float Maximum = 0.0f;
    float Range = 0.0f; // Maximum - Minimum
    float Value = 0.0f;
    int IntegerSteps = 0;
    int Linear = 0;
    int Dragged = 0; // the left button went down on the track and is held still

private:
    // The value under the pointer's x, from Minimum at the left edge to Maximum at the right, and the end's
    // value beyond either edge.
    float ValueAt(int pointerX, float originX) const;
};

// An on/off box flipped by a press, or by Enter, Left or Right while focused.
class ToggleWidget : public Widget {
public:
    void Setup(const WidgetSetup& setup) override;
    int HandleInput(const KeyboardState& keys, const MouseState& mouse, float originX, float originY,
                    float& valueOut, int focused) override;
    void Draw(float originX, float originY, int focused) const override;
};

// A push button: activated by releasing the button over it while focused, or by Enter, Left or Right.
class ButtonWidget : public Widget {
public:
    void Setup(const WidgetSetup& setup) override;
    int HandleInput(const KeyboardState& keys, const MouseState& mouse, float originX, float originY,
                    float& valueOut, int focused) override;
    void Draw(float originX, float originY, int focused) const override;

protected:
    void DrawButton(float originX, float originY, float tileU, float tileV) const;
};

// A push button drawn with its own tile. It takes every press, wherever the pointer is, and shows the
// pressed look while the held pointer is over it, focused or not.
class IconButtonWidget : public ButtonWidget {
public:
    int HandleInput(const KeyboardState& keys, const MouseState& mouse, float originX, float originY,
                    float& valueOut, int focused) override;
    void Draw(float originX, float originY, int focused) const override;
};

// The title box of a menu, and its handle: holding the button on it, or Left, Right, Page Up and Page Down
// while focused, asks the dialog to move the menu.
class TitleWidget : public Widget {
public:
    int HandleInput(const KeyboardState& keys, const MouseState& mouse, float originX, float originY,
                    float& valueOut, int focused) override;
    void Draw(float originX, float originY, int focused) const override;
};
