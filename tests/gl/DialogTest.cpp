// The popup menu as the user drives it through whole frames: opening and closing with the fade, moving
// between pages, what each row does to its setting and the status line, and the keys while it is open.

#include "app/KeyboardControls.h"
#include "app/PointerControls.h"
#include "render/InputState.h"
#include "support/GlTestFixture.h"
#include "ui/DialogStack.h"
#include "ui/Widget.h"

#include <array>
#include <functional>
#include <string>
#include <utility>

namespace {

using namespace gltest;

class DialogTest : public ProgramTest {
protected:
    // The widget of the current page with this id.
    static Widget* Find(int id) {
        for (int i = 0; i < Dialogs.WidgetCount; ++i)
            if (Dialogs.Widgets[i] && Dialogs.Widgets[i]->Id == id)
                return Dialogs.Widgets[i].get();
        return nullptr;
    }
    // The menu open and fully shown on the given page.
    void ShowPage(int menu) {
        OnKeyboard('`', 0, 0);
        Dialogs.OpenMenu(menu, 0);
        FramesUntil(Fake.NowMs + 600, 50);
        ASSERT_EQ(Dialogs.Visibility, 1.0f);
    }
    // One frame with this input.
    void Input(int button, int x, int y, int key = 0, int special = 0) {
        Mouse.LeftButton = button, Mouse.PointerX = x, Mouse.PointerY = y;
        Keys.LastKey = key, Keys.LastSpecialKey = special;
        FrameAt(Fake.NowMs + 16);
    }
    // The row's action run with this value, and the status line it leaves.
    static std::string Act(int id, float value) {
        StatusLine.Text[0] = '\0';
        Dialogs.ActivatedId = id, Dialogs.ActivatedValue = value;
        Dialogs.DoAction();
        return StatusLine.Text;
    }
    static std::pair<float, float> Origin() { return {Dialogs.OriginX, Dialogs.OriginY}; }
};

TEST_F(DialogTest, FadesInAndOutAndTakesInputOnlyWhileOpen) {
    EXPECT_EQ(Dialogs.CurrentMenu, MainMenu);
    OnKeyboard('`', 0, 0);
    FrameAt(100);
    FrameAt(200); // 0.2 s of a half-second fade
    EXPECT_NEAR(Dialogs.Visibility, 0.4f, 1e-4f);
    FramesUntil(1000);
    EXPECT_EQ(Dialogs.Visibility, 1.0f);
    Input(0, 0, 0, 0, KeyDown);
    EXPECT_EQ(Dialogs.Focus, 1);

    OnKeyboard('`', 0, 0);
    Input(0, 0, 0, 0, KeyDown); // closing: the menu fades out and ignores the keys
    EXPECT_EQ(Dialogs.Focus, 1);
    EXPECT_GT(Dialogs.Visibility, 0.0f);
    FramesUntil(Fake.NowMs + 600, 50);
    EXPECT_EQ(Dialogs.Visibility, 0.0f);
}

TEST_F(DialogTest, PagesPushAndPopWithinTheStackLimitsAndKeepTheOriginUntilADirectBuild) {
    const std::pair<float, float> moved(40.0f, -10.0f);
    auto page = [] { return std::make_pair(Dialogs.CurrentMenu, Dialogs.StackDepth); };
    Dialogs.OriginX = moved.first, Dialogs.OriginY = moved.second;
    Act(3, 0.0f); // Options...
    Act(92, 0.0f);
    EXPECT_EQ(Dialogs.CurrentMenu, StandardMenu);
    Act(92, 0.0f);
    EXPECT_EQ(page(), std::make_pair(int(CustomMenu), 1)); // the control pages replace each other
    Act(93, 0.0f);
    EXPECT_EQ(page(), std::make_pair(int(MainMenu), 0));
    EXPECT_EQ(Origin(), moved);

    testing::internal::CaptureStdout();
    for (int push = 0; push < 20; ++push)
        Dialogs.OpenMenu(SaveMenu, 1);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "** Attempt to push dialog beyond limits");
    EXPECT_EQ(Dialogs.StackDepth, DialogStack::MaxDepth);
    testing::internal::CaptureStdout();
    for (int pop = 0; pop < 20; ++pop)
        Dialogs.PopMenu();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "** Attempt to pop no dialog");
    EXPECT_EQ(page(), std::make_pair(int(MainMenu), 0)); // the first page pushed
    EXPECT_EQ(Dialogs.OriginX, 0.0f);                    // a page built without OpenMenu starts at the origin

    // Opening a page, an empty pop and a refresh keep where the menu was moved to; a direct build resets it.
    Dialogs.OriginX = moved.first, Dialogs.OriginY = moved.second;
    Dialogs.OpenMenu(StandardMenu, 0);
    testing::internal::CaptureStdout();
    Dialogs.PopMenu();
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(page(), std::make_pair(int(StandardMenu), 0));
    EXPECT_EQ(Origin(), moved);
    Dialogs.Focus = 9;
    const Widget* letterbox = Find(59);
    Settings.Letterbox = 4;
    Dialogs.BuildMenu(Dialogs.CurrentMenu, 0);
    EXPECT_EQ(Find(59), letterbox);
    EXPECT_EQ(static_cast<const SliderWidget*>(letterbox)->Value, 4.0f);
    EXPECT_EQ(std::make_pair(Dialogs.WidgetCount, Dialogs.Focus), std::make_pair(16, 9));
    EXPECT_EQ(Origin(), moved);
    Dialogs.BuildMenu(LoadMenu, 1);
    EXPECT_EQ(Origin(), std::pair(0.0f, 0.0f));
}

TEST_F(DialogTest, EachRowSetsItsSettingAndConfirmsIt) {
    using Get = std::function<float()>;
    const struct {
        int Menu, Id;
        float Value;
        Get Setting;
        float Expected;
        const char* Message;
    } cases[] = {
        {StandardMenu, 51, 77.6f, [] { return float(Settings.Fov) + MainCamera.Fov; }, 154.6f, "Fov: 77.60"},
        {StandardMenu, 52, -1.5f, [] { return Settings.CameraZ; }, -1.5f, "CameraZ: -1.50"},
        {StandardMenu, 54, 2.5f, [] { return Settings.MainSpeed; }, 2.5f, "Main Speed: 2.50"},
        {StandardMenu, 55, 1.0f, [] { return Settings.FadeEffect + 10 * Settings.ScreenClear; }, 11.0f,
         "Fade: 1.00"},
        {StandardMenu, 55, 0.015f, [] { return Settings.FadeEffect + 10 * Settings.ScreenClear; }, 0.0f,
         "Fade: 0.00"},
        {StandardMenu, 56, 3.0f, [] { return Settings.RotateSpeed; }, 3.0f, "Rotate Speed: 3.00"},
        {StandardMenu, 57, 4.0f, [] { return Settings.MoveSpeed; }, 4.0f, "Move Speed: 4.00"},
        {StandardMenu, 58, 2.9f, [] { return float(Settings.PolygonMode); }, 2.0f, ""},
        {StandardMenu, 59, 6.8f, [] { return float(Settings.Letterbox); }, 6.0f, "Letterbox: 6"},
        {StandardMenu, 70, 0.0f, [] { return float(Sound.Enabled); }, 0.0f, ""},
        {StandardMenu, 96, 0.0f, [] { return float(View.ClearFrames + Settings.ScreenClear); }, 0.0f, ""},
        {StandardMenu, 97, 1.0f, [] { return float(Paused); }, 1.0f, ""},
        {CustomMenu, 10, 0.3f, [] { return Settings.Ambient; }, 0.3f, ""},
        {CustomMenu, 11, 0.6f, [] { return Settings.Diffuse; }, 0.6f, ""},
        {CustomMenu, 12, 0.7f, [] { return Settings.Specular; }, 0.7f, ""},
        {CustomMenu, 13, 0.8f, [] { return Settings.Reflective; }, 0.8f, ""},
        {CustomMenu, 14, 64.5f, [] { return Settings.Shininess; }, 64.5f, ""},
        {CustomMenu, 15, 45.0f, [] { return Settings.Cutoff; }, 45.0f, ""},
        {CustomMenu, 16, 3.0f, [] { return Settings.Exponent; }, 3.0f, ""},
        {CustomMenu, 31, 8.5f, [] { return float(BlendFunc0); }, 8.0f, ""},
        {CustomMenu, 32, 7.5f, [] { return float(BlendFunc1); }, 7.0f, ""},
        {CustomMenu, 53, 2.0f, [] { return Settings.ObjectSize; }, 2.0f, "Size: 2.00"},
        {CustomMenu, 60, 1.5f, [] { return Settings.ArcThickness; }, 1.5f, "Home: 1.50"},
        {CustomMenu, 61, 3.8f, [] { return float(GlobeCount); }, 3.0f, "# Globes: 3"},
        {CustomMenu, 71, 0.5f, [] { return Settings.MouseSensitivity; }, 0.5f, "Mouse Sensitivity: 0.50"},
        {CustomMenu, 72, 1.5f, [] { return Settings.MoveSensitivity; }, 1.5f, "Move Sensitivity: 1.50"},
        {MainMenu, 80, 0.0f, [] { return float(InfoShown); }, 1.0f, ""},
        {CustomMenu, 59, 5.0f, [] { return float(Settings.Letterbox); }, 0.0f, ""}, // not on this page
        {MainMenu, 99, 0.0f, [] { return float(ExitState); }, 1.0f, ""},            // Quit starts the exit
        {StandardMenu, 99, 0.0f, [] { return float(ExitState); }, 1.0f, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "menu " << c.Menu << " id " << c.Id << " value " << c.Value);
        Settings = SettingsStore();
        View.ClearFrames = 1;
        ExitState = 0;
        ExitStartTime = 0.0f;
        Dialogs.BuildMenu(c.Menu, 1);
        EXPECT_EQ(Act(c.Id, c.Value), c.Message);
        EXPECT_NEAR(c.Setting(), c.Expected, 1e-5f);
    }
}

TEST_F(DialogTest, MousePressOnASliderAndKeysOnAToggle) {
    ShowPage(StandardMenu);
    Input(1, 170, 270); // the right end of "Main Speed", at y 336 - 77
    EXPECT_EQ(Settings.MainSpeed, 4.0f);
    EXPECT_STREQ(StatusLine.Text, "Main Speed: 4.00");
    EXPECT_EQ(Dialogs.Focus, 5);
    Dialogs.Focus = 0;
    Input(0, 0, 0, 0, KeyUp); // wraps to the last row of this page
    EXPECT_EQ(Dialogs.Focus, 15);
    Input(0, 0, 0, 0, KeyDown);
    EXPECT_EQ(Dialogs.Focus, 0);

    Dialogs.Focus = 12; // "Pause"
    Input(0, 0, 0, 13);
    EXPECT_EQ(Paused, 1);
    Input(0, 0, 0, 0, KeyLeft);
    EXPECT_EQ(Paused, 0);
}

TEST_F(DialogTest, SaveAndLoadRowsUseThePreferencesFile) {
    Dialogs.OpenMenu(SaveMenu, 1);
    Settings.ObjectSize = 2.5f;
    EXPECT_EQ(Act(1, 0.0f), "Saved Prefs");
    Settings.ObjectSize = 1.0f;
    Settings.CameraMode = 2;
    Act(93, 0.0f);
    Dialogs.OpenMenu(LoadMenu, 1);
    EXPECT_EQ(Act(1, 0.0f), "Loaded Prefs");
    EXPECT_EQ(Settings.ObjectSize, 2.5f);
    EXPECT_EQ(Settings.CameraMode, 2); // the menu keeps the camera mode it holds

    std::filesystem::remove("Tovi.pref");
    std::filesystem::create_directory("Tovi.pref");
    EXPECT_EQ(Act(1, 0.0f), "Could NOT Load Prefs");
    Dialogs.OpenMenu(SaveMenu, 0);
    EXPECT_EQ(Act(1, 0.0f), "Could NOT Save Prefs");
}

TEST_F(DialogTest, ValuesShownFollowKeysPressedWhileOpen) {
    ShowPage(StandardMenu);
    Dialogs.Focus = 9;
    OnKeyboard('l', 0, 0);
    OnKeyboard('l', 0, 0);
    OnSpecial(KeyPageDown, 0, 0);
    const auto& letterbox = static_cast<const SliderWidget&>(*Find(59));
    EXPECT_EQ(letterbox.Value, 2.0f);
    EXPECT_EQ(static_cast<const SliderWidget&>(*Find(54)).Value, Settings.MainSpeed);
    EXPECT_EQ(Dialogs.Focus, 9);
    EXPECT_EQ(Dialogs.CurrentMenu, StandardMenu);
    FrameAt(Fake.NowMs + 16);
}

TEST_F(DialogTest, ResetClosesTheMenuForGood) {
    for (int fromKey : {0, 1}) {
        SCOPED_TRACE(fromKey ? "key R" : "menu row");
        ShowPage(StandardMenu);
        if (fromKey)
            OnKeyboard('r', 0, 0);
        else
            Act(98, 0.0f);
        EXPECT_EQ(MenuShown, 0);
        EXPECT_EQ(Dialogs.TargetVisibility, 0.0f);
        EXPECT_EQ(Dialogs.CurrentMenu, MainMenu);
        FramesUntil(Fake.NowMs + 600, 50);
        EXPECT_EQ(Dialogs.Visibility, 0.0f);
    }
}

TEST_F(DialogTest, TitleDragMovesTheMenuAndKeyMovesKeepTheDragStart) {
    using Xy = std::pair<float, float>;
    ShowPage(MainMenu); // title at (30, 336) to (60, 366)
    Input(1, 45, 350);
    Input(2, 95, 330);
    EXPECT_EQ(Origin(), Xy(50.0f, -20.0f));
    Input(3, 95, 330);
    Input(1, 95, 330); // the title where it now lies
    Input(2, 105, 340);
    EXPECT_EQ(Origin(), Xy(60.0f, -10.0f));
    Input(3, 105, 340);
    for (auto [key, to] : {std::pair{KeyLeft, Xy(58.0f, -10.0f)},
                           {KeyRight, Xy(60.0f, -10.0f)},
                           {KeyPageUp, Xy(60.0f, -8.0f)},
                           {KeyPageDown, Xy(60.0f, -10.0f)},
                           {KeyLeft, Xy(58.0f, -10.0f)}}) {
        Input(0, 0, 0, 0, key);
        EXPECT_EQ(Origin(), to) << key;
    }
    Input(1, 95, 340);
    Input(2, 95, 340); // a still drag puts the menu back where the last release left it
    EXPECT_EQ(Origin(), Xy(60.0f, -10.0f));
}

TEST_F(DialogTest, FiftyWidgetsFitTheFiftyFirstIsRefusedAndFocusWraps) {
    Dialogs.Clear();
    for (int id = 0; id <= DialogStack::MaxWidgets; ++id)
        EXPECT_EQ(Dialogs.AddWidget(ButtonKind, "", id, 30, 30, 30, 30, 0, 0, 0, 0, 0),
                  id < DialogStack::MaxWidgets ? id : -1);
    EXPECT_EQ(Dialogs.AddWidget(ButtonKind, "again", 49, 30, 30, 30, 30, 0, 0, 0, 0, 0), 49); // a refresh
    EXPECT_STREQ(Dialogs.Widgets[49]->Label, "again");
    OnKeyboard('`', 0, 0);
    const struct {
        int From, Key, Special, To;
    } cases[] = {{0, 0, KeyUp, 49}, {49, 0, KeyDown, 0}, {49, 9, 0, 0},
                 {3, 0, KeyUp, 2},  {3, 9, 0, 4},        {2, 9, KeyUp, 2}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.From << " key " << c.Key << " special " << c.Special);
        Dialogs.Focus = c.From;
        Input(0, 0, 0, c.Key, c.Special);
        EXPECT_EQ(Dialogs.Focus, c.To);
    }
}

TEST_F(DialogTest, MenusHangFromSevenTenthsOfTheWindowWithTheirOwnText) {
    Dialogs.BuildMenu(MainMenu, 1);
    for (auto [id, bottom] :
         {std::pair{0, 336.0f}, {3, 281.0f}, {1, 241.0f}, {2, 201.0f}, {80, 151.0f}, {99, 96.0f}})
        EXPECT_EQ((std::array{Find(id)->Left, Find(id)->Bottom, Find(id)->Top}),
                  (std::array{30.0f, bottom, bottom + 30}))
            << id;
    const struct {
        int Menu, Rows, FontSize, Wobble;
        const char* Title;
    } menus[] = {{StandardMenu, 16, 10, 0, "Standard"},
                 {CustomMenu, 17, 10, 0, "Tovi"},
                 {MainMenu, 6, 20, 1, "Main Menu"},
                 {SaveMenu, 3, 20, 0, "Save Menu"},
                 {LoadMenu, 3, 20, 0, "Load Menu"}};
    for (const auto& m : menus) {
        SCOPED_TRACE(m.Title);
        Dialogs.BuildMenu(m.Menu == MainMenu ? StandardMenu : MainMenu, 1);
        Dialogs.BuildMenu(m.Menu, 1);
        EXPECT_STREQ(Dialogs.Widgets[0]->Label, m.Title);
        ASSERT_EQ(Dialogs.WidgetCount, m.Rows);
        for (int slot = 0; slot < m.Rows; ++slot)
            EXPECT_EQ(Dialogs.Widgets[slot]->FontSize, m.FontSize);
        EXPECT_EQ(DialogText.WobbleOn, m.Wobble);
        EXPECT_EQ(DialogText.AlphaTestOn, m.Wobble);
    }
}

} // namespace
