#include "ui/DialogStack.h"

#include "app/FrameClock.h"
#include "app/Globals.h"
#include "app/ScreenView.h"
#include "platform/Platform.h"
#include "render/InputState.h"
#include "ui/OverlayText.h"
#include "ui/Widget.h"

#include <GL/gl.h>
#include <new>

namespace {

constexpr int KeyTab = 9;

// Left-button states of MouseState.
constexpr int ButtonPressed = 1;
constexpr int ButtonHeld = 2;
constexpr int ButtonReleased = 3;

// Window pixels to overlay units of the given size, rounded down: every pixel of a unit falls in it.
int ToOverlayUnits(int pixels, int unit) {
    return pixels >= 0 ? pixels / unit : -((unit - 1 - pixels) / unit);
}

// The class of each widget kind; null for a kind the builder does not know.
std::unique_ptr<Widget> CreateWidget(int kind) {
    switch (kind) {
    case SliderKind:
        return std::unique_ptr<Widget>(new (std::nothrow) SliderWidget);
    case ToggleKind:
        return std::unique_ptr<Widget>(new (std::nothrow) ToggleWidget);
    case ButtonKind:
        return std::unique_ptr<Widget>(new (std::nothrow) ButtonWidget);
    case IconButtonKind:
        return std::unique_ptr<Widget>(new (std::nothrow) IconButtonWidget);
    case TitleKind:
        return std::unique_ptr<Widget>(new (std::nothrow) TitleWidget);
    default:
        return nullptr;
    }
}

} // namespace

DialogStack::DialogStack() {
    Clear();
}

DialogStack::DialogStack(DialogStack&&) = default;
DialogStack& DialogStack::operator=(DialogStack&&) = default;
DialogStack::~DialogStack() = default;

void DialogStack::Clear() {
    for (auto& widget : Widgets)
        widget.reset();
    CurrentMenu = -1;
    WidgetCount = 0;
    ActivatedId = -1;
    Focus = 0;
    ActivatedValue = 0.0f;
    OriginX = OriginY = 0.0f;
}

int DialogStack::AddWidget(int kind, const char* label, int id, int left, int bottom, int width, int height,
                           float value, float minimum, float maximum, int integerSteps, int linear) {
    int slot = 0;
    while (slot < WidgetCount && !(Widgets[slot] && Widgets[slot]->Id == id))
        ++slot;
    if (slot == WidgetCount) {
        if (WidgetCount >= MaxWidgets)
            return -1;
        ++WidgetCount;
    }
    if (kind < SliderKind || kind > TitleKind)
        return slot;
    if (!Widgets[slot]) {
        Widgets[slot] = CreateWidget(kind);
        if (!Widgets[slot]) {
            --WidgetCount;
            return -1;
        }
    }
    WidgetSetup setup;
    setup.Label = label;
    setup.Id = id;
    setup.Index = slot;
    setup.Kind = kind;
    setup.Left = float(left);
    setup.Bottom = float(bottom);
    setup.Width = float(width);
    setup.Height = float(height);
    setup.FontSize = MenuFontSize;
    if (kind == SliderKind || kind == ToggleKind)
        setup.Value = value;
    if (kind == SliderKind) {
        setup.Minimum = minimum;
        setup.Maximum = maximum;
        setup.IntegerSteps = integerSteps;
        setup.Linear = linear;
    }
    Widgets[slot]->Setup(setup);
    return slot;
}

void DialogStack::OpenMenu(int menuId, int push) {
    const float x = OriginX, y = OriginY;
    if (push)
        PushMenu();
    BuildMenu(menuId, 1);
    OriginX = x;
    OriginY = y;
}

void DialogStack::PushMenu() {
    if (StackDepth < MaxDepth)
        MenuStack[StackDepth++] = CurrentMenu;
    else
        ConsoleWrite("** Attempt to push dialog beyond limits");
}

void DialogStack::PopMenu() {
    if (StackDepth >= 1)
        BuildMenu(MenuStack[--StackDepth], 1);
    else
        ConsoleWrite("** Attempt to pop no dialog");
}

void DialogStack::DrawMenu() {
    // Half a second from hidden to shown and back.
    if (Visibility != TargetVisibility) {
        Visibility += (2.0f * TargetVisibility - 1.0f) * 2.0f * ClockLink->FrameTime;
        Visibility = Visibility < 0.0f ? 0.0f : Visibility > 1.0f ? 1.0f : Visibility;
    }
    DrawnBrightness = Visibility;
    TextLink->Brightness = Visibility;
    // The menu slides in from 300 pixels to the left on a quadratic ease while it fades in.
    const float hidden = 1.0f - Visibility;
    const float x = OriginX - hidden * hidden * 300.0f;
    for (int i = 0; i < WidgetCount; ++i) {
        if (!Widgets[i])
            continue;
        const float level = i == Focus ? Visibility : 0.75f * Visibility;
        glColor3f(level, level, level);
        Widgets[i]->Draw(x, OriginY, i == Focus ? 1 : 0);
    }
}

void DialogStack::HandleMenuInput() {
    ActivatedId = -1;
    ActivatedValue = 0.0f;
    float value = 0.0f;
    // The widgets lie in overlay units; the pointer comes in window pixels.
    MouseState mouse = *MouseLink;
    mouse.PointerX = ToOverlayUnits(mouse.PointerX, View.OverlayPixels());
    mouse.PointerY = ToOverlayUnits(mouse.PointerY, View.OverlayPixels());
    for (int i = 0; i < WidgetCount; ++i) {
        if (!Widgets[i])
            continue;
        const int result = Widgets[i]->HandleInput(*KeysLink, mouse, OriginX, OriginY, value, i == Focus);
        if (result == WidgetIdle)
            continue;
        if (mouse.LeftButton == ButtonPressed)
            Focus = i;
        if (result == WidgetActivated) {
            ActivatedId = Widgets[i]->Id;
            ActivatedValue = value;
            return;
        }
        if (result == WidgetMoveMenu) {
            if (mouse.LeftButton == ButtonPressed) {
                GrabX = float(mouse.PointerX);
                GrabY = float(mouse.PointerY);
            } else if (mouse.LeftButton == ButtonHeld) {
                OriginX = DragStartX + float(mouse.PointerX) - GrabX;
                OriginY = DragStartY + float(mouse.PointerY) - GrabY;
            } else if (mouse.LeftButton == ButtonReleased) {
                DragStartX = OriginX;
                DragStartY = OriginY;
            }
            switch (KeysLink->LastSpecialKey) {
            case KeyLeft:
                OriginX -= 2.0f;
                break;
            case KeyRight:
                OriginX += 2.0f;
                break;
            case KeyPageUp:
                OriginY += 2.0f;
                break;
            case KeyPageDown:
                OriginY -= 2.0f;
                break;
            default:
                break;
            }
            return;
        }
    }
}

void DialogStack::Update() {
    if (WidgetCount > 0) {
        if (KeysLink->LastSpecialKey == KeyUp)
            Focus = Focus <= 0 ? WidgetCount - 1 : Focus - 1;
        if (KeysLink->LastKey == KeyTab || KeysLink->LastSpecialKey == KeyDown)
            Focus = Focus >= WidgetCount - 1 ? 0 : Focus + 1;
    }
    DrawMenu();
    HandleMenuInput();
}

void DialogStack::Run() {
    Update();
    if (ActivatedId == -1)
        return;
    DoAction();
    // An action may change more than its own setting (a fade switches the trails on): the page shows every
    // setting as it now is, as it does after a key.
    BuildMenu(CurrentMenu, 0);
}
