#pragma once

#include <memory>

class FrameClock;
class KeyboardState;
class MouseState;
class OverlayText;
class Widget;

// The menus the builder knows, by id.
enum MenuId { StandardMenu = 0, CustomMenu = 1, MainMenu = 2, SaveMenu = 3, LoadMenu = 4 };

// The popup menu: the widgets of the current menu page, the keyboard focus, the slide-and-fade transition,
// the chain of pages the user came through (for the back button) and the widget activated this frame.
// Others touch only whether it is wanted, the camera mode it will give back and BuildMenu.
class DialogStack {
public:
    static constexpr int MaxWidgets = 50;
    static constexpr int MaxDepth = 19;

    DialogStack();
    DialogStack(DialogStack&&);
    DialogStack& operator=(DialogStack&&);
    virtual ~DialogStack();

    // Destroys the widgets and empties every slot; the stack, the fade, the saved camera mode and the
    // links stay.
    void Clear();
    // Finds the widget with this id again (a refresh) or takes the next free slot, then sets it up. The
    // rectangle is in whole pixels; minimum to linear are read by sliders only, value by sliders and
    // toggles. Returns the slot, or -1 when all slots are taken.
    int AddWidget(int kind, const char* label, int id, int left, int bottom, int width, int height,
                  float value, float minimum, float maximum, int integerSteps, int linear);
    // Builds menu page menuId (clear 1) or refreshes the widgets of the current page in place with the
    // settings' present values (clear 0: focus, origin and stack kept).
    void BuildMenu(int menuId, int clear);
    // Switches to another page where the menu now stands, remembering the current one for Back if push.
    void OpenMenu(int menuId, int push);
    void PushMenu();
    void PopMenu();
    // Advances the fade and draws every widget; takes no input.
    void DrawMenu();
    // Hands this frame's input to the widgets and records the first activation.
    void HandleMenuInput();
    // Focus keys, then DrawMenu and HandleMenuInput.
    void Update();
    // Update, then the action of the activated widget, and the page refreshed.
    void Run();
    // Applies the activated widget to its setting or command.
    void DoAction();

    int CurrentMenu = -1;
    int WidgetCount = 0;
    int ActivatedId = -1;
    int Focus = 0;
    int SavedCameraMode = 0; // the camera mode to restore when the menu closes
    float ActivatedValue = 0.0f;
    float OriginX = 0.0f, OriginY = 0.0f;
    int MenuStack[MaxDepth] = {};
    int StackDepth = 0;
    float TargetVisibility = 0.0f; // 1 while the menu should be shown; the menu fades towards it
    float Visibility = 0.0f;
    float DrawnBrightness = 0.0f;
    std::unique_ptr<Widget> Widgets[MaxWidgets];
    int MenuFontSize = 10; // glyph size of the page being built
    int Announced = 0;     // the first build has written its console line

    // Drag state: where the pointer took the title, and the origin at the last release.
    float GrabX = 0.0f, GrabY = 0.0f;
    float DragStartX = 0.0f, DragStartY = 0.0f;

    MouseState* MouseLink = nullptr;
    KeyboardState* KeysLink = nullptr;
    OverlayText* TextLink = nullptr;
    FrameClock* ClockLink = nullptr;
};

extern DialogStack Dialogs;
