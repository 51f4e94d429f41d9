// The popup menu as the user drives it, with the real mouse and key callbacks and whole frames: the pages
// each row opens (read from the text the menu draws), what every row does to its setting and the status
// line, saving and loading, the fade and slide, the focus keys and dragging.

#include "support/GlTestFixture.h"

#include <cmath>
#include <filesystem>
#include <string>

namespace {

using namespace gltest;
SettingsStore& S = Settings;
constexpr int Y0 = 336; // seven tenths of the 480-pixel window: the top row's bottom edge

// 10 while a full clear is asked for.
float Cleared() {
    return View.ClearFrames != 0 ? 10.0f : 0.0f;
}

class DialogTest : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        EmptyScene();
    }
    // Nothing behind the menu, so that frames are quick: the opening over, no globes, no stars.
    static void EmptyScene() {
        Logo.Finished = 1;
        GlobeCount = 0;
        S.Universe = 0;
    }
    void Step() { FrameAt(Fake.NowMs + FrameMs); }
    // An instant click at (x, y), y counted up from the bottom: the left button pressed and released
    // before the next frame (a tap, or xdotool click), which then sees the press and the one after the
    // release.
    void Click(int x, int y) {
        OnMouse(ButtonLeft, ButtonDown, x, WindowHeight - 1 - y);
        OnMouse(ButtonLeft, ButtonUp, x, WindowHeight - 1 - y);
        Step();
        Step();
    }
    void Press(int key) {
        if (key < KeyLeft) {
            OnKeyboard(static_cast<unsigned char>(key), 0, 0);
        } else {
            OnSpecial(key, 0, 0);
            OnSpecialUp(key, 0, 0);
        }
        Step();
    }
    // The menu as drawn now: its text, and the box of its first tile (the title).
    static support::Feedback Drawn() {
        Clock.FrameTime = 0.0f; // drawing alone moves no fade
        return support::CaptureFeedback([] { Dialogs.DrawMenu(); });
    }
};

// Each row sits where its page puts it (left edge, and bottom edge below the top row); a click at the
// given place sets the value there (sliders a quarter of their width from the right end, or an end, linear
// or by the square root) and shows the row's message. A full clear is pending at each click: the letterbox
// and a full fade ask for one more, "Screen Clear" switched off cancels it (10 more in the value read); a
// quit starts at once, and only a quit plays a sound, the hit. "Save Prefs" writes the 184 bytes of Tovi.pref
// and "Load Prefs" reads them back (the field of view 110), keeping the camera mode as it is; where there is
// a folder of that name each says it could not.
TEST_F(DialogTest, EachRowClickedWhereItLiesSetsItsValueAndSaysSo) {
    constexpr int Main = MainMenu, Std = StandardMenu, Own = CustomMenu;
    const auto page = [] { return Dialogs.CurrentMenu + 10.0f * Dialogs.StackDepth; };
    // The fade switches the trails on or off: the page's Screen Clear toggle shows it at once.
    const auto fade = [] {
        return S.FadeEffect + 10 * S.ScreenClear + 10 * Cleared() + 100 * ShownValue(96);
    };
    const auto quit = [] { return ExitState + Clock.Now - ExitStartTime; };
    const struct {
        int Menu;
        const char* Label;
        int Left, Dy, X;
        float (*Setting)();
        float Expected;
        const char* Message;
    } rows[] = {
        {Std, "RotateSpeed", 30, -29, 135, [] { return S.RotateSpeed; }, 11.25f, "Rotate Speed: 11.25"},
        {Std, "Move Speed", 30, -53, 135, [] { return S.MoveSpeed; }, 11.25f, "Move Speed: 11.25"},
        {Std, "Main Speed", 30, -77, 135, [] { return S.MainSpeed; }, 2.29375f, "Main Speed: 2.29"},
        {Std, "Magnification/FOV", 30, -106, 135, [] { return S.Fov + MainCamera.Fov; }, 268.75f,
         "Fov: 134.75"},
        {Std, "CameraZ", 30, -130, 135, [] { return S.CameraZ; }, 1.5f, "CameraZ: 1.50"},
        {Std, "Fade Effect", 30, -159, 135, fade, 0.566875f, "Fade: 0.57"},
        {Std, "Fade Effect", 30, -159, 170, fade, 211, "Fade: 1.00"}, // no trails
        {Std, "Fade Effect", 30, -159, 30, fade, 0, "Fade: 0.00"},    // trails that never fade
        {Std, "Letterbox", 30, -183, 135, [] { return S.Letterbox + Cleared(); }, 15, "Letterbox: 5"},
        {Std, "PolygonMode", 30, -207, 135, [] { return float(S.PolygonMode); }, 2, ""},
        {Std, "Screen Clear", 70, -236, 85, [] { return S.ScreenClear + Cleared(); }, 0, ""},
        {Std, "Pause", 70, -271, 85, [] { return float(Paused); }, 1, ""},
        {Std, "Sounds", 70, -306, 85, [] { return float(Sound.Enabled); }, 0, ""},
        {Std, "Reset", 70, -351, 85, [] { return S.ObjectSize + 10 * Dialogs.CurrentMenu; }, 20.7f, ""},
        {Std, "Exit Program", 70, -391, 85, quit, 1, ""},
        {Std, "Custom Controls...", 250, 0, 265, page, 11, ""},
        {Std, "", 180, 0, 195, page, 2, ""},
        {Own, "# Globes", 30, -29, 110, [] { return float(GlobeCount); }, 2, "# Globes: 2"},
        {Own, "Globe Size", 30, -53, 135, [] { return S.ObjectSize; }, 5.66875f, "Size: 5.67"},
        {Own, "Arc Thickness", 30, -77, 135, [] { return S.ArcThickness; }, 5.7125f, "Home: 5.71"},
        {Own, "MouseLook Sensitivity", 30, -106, 135, [] { return S.MouseSensitivity; }, 1.5f,
         "Mouse Sensitivity: 1.50"},
        {Own, "ArrowMove/Click Thrust Sensitivity", 30, -130, 135, [] { return S.MoveSensitivity; }, 1.5f,
         "Move Sensitivity: 1.50"},
        {Own, "Ambient", 30, -164, 135, [] { return S.Ambient; }, 0.75f, ""},
        {Own, "Diffuse", 30, -188, 135, [] { return S.Diffuse; }, 0.75f, ""},
        {Own, "Specular", 30, -212, 135, [] { return S.Specular; }, 0.75f, ""},
        {Own, "Reflective", 30, -236, 135, [] { return S.Reflective; }, 0.75f, ""},
        {Own, "Shininess", 30, -260, 135, [] { return S.Shininess; }, 96, ""},
        {Own, "Cutoff", 30, -284, 135, [] { return S.Cutoff; }, 135, ""},
        {Own, "Exponent", 30, -308, 135, [] { return S.Exponent; }, 5.625f, ""},
        {Own, "BlendFunc0", 30, -342, 135, [] { return float(BlendFunc0); }, 6, ""},
        {Own, "BlendFunc1", 30, -366, 135, [] { return float(BlendFunc1); }, 5, ""},
        {Own, "Standard Controls...", 250, 0, 265, page, 10, ""},
        {Main, "Info", 30, -185, 45, [] { return InfoShown + 10.0f * HelpShown; }, 1, ""},
        {Main, "Quit", 30, -240, 45, quit, 1, ""},
        // All 184 bytes, with the camera mode the user had before the menu held the camera (manual, 1).
        {SaveMenu, "Save Prefs", 30, -75, 45,
         [] {
             const support::Bytes file = support::ReadFile("Tovi.pref");
             return file.size() == 184 ? float(support::WordAt(file, 40)) : -1.0f;
         },
         1, "Saved Prefs"},
        {LoadMenu, "Load Prefs", 30, -75, 45, [] { return MainCamera.Fov + S.CameraMode; }, 110,
         "Loaded Prefs"},
        {SaveMenu, "Save Prefs", 30, -75, 45, [] { return MainCamera.Fov; }, 40, "Could NOT Save Prefs"},
        {LoadMenu, "Load Prefs", 30, -75, 45, [] { return MainCamera.Fov; }, 40, "Could NOT Load Prefs"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.Label);
        StartProgram(); // a fresh start for every row
        EmptyScene();
        OnKeyboard('`', 0, 0);
        if (r.Menu == StandardMenu || r.Menu == CustomMenu)
            Click(45, Y0 - 55 + 15); // Options..., then Standard Controls...
        if (r.Menu == StandardMenu || r.Menu >= SaveMenu)
            Click(r.Menu == StandardMenu ? 265 : 45, r.Menu == StandardMenu ? Y0 + 15
                                                     : r.Menu == SaveMenu   ? Y0 - 80
                                                                            : Y0 - 120);
        const Widget* row = nullptr;
        for (int slot = 0; slot < Dialogs.WidgetCount; ++slot)
            row = std::string(Dialogs.Widgets[slot]->Label) == r.Label ? Dialogs.Widgets[slot].get() : row;
        ASSERT_TRUE(row);
        EXPECT_TRUE(row->Left == r.Left && row->Bottom == Y0 + r.Dy) << row->Left << ", " << row->Bottom;
        S.ObjectSize = 3.0f;
        HelpShown = 1;
        MainCamera.Fov = 40.0f;
        S.CameraMode = r.Menu == LoadMenu ? 0 : S.CameraMode; // saved while the menu held 2
        StatusLine.Text[0] = '\0';
        View.ClearFrames = 1;
        if (std::string(r.Message).rfind("Could", 0) == 0) { // a folder where the file should be
            std::filesystem::remove("Tovi.pref");
            std::filesystem::create_directory("Tovi.pref");
        }
        Click(r.X, Y0 + r.Dy + 12);
        EXPECT_NEAR(r.Setting(), r.Expected, 1e-4f);
        EXPECT_STREQ(StatusLine.Text, r.Message);
        EXPECT_EQ(Fake.Waves.back(), ExitState ? "hit.wav" : "WIND2.wav");
    }
}

// Half a second to fade in, sliding in from 300 pixels to the left on a quadratic ease; the focused row at
// the menu's brightness and the others at three quarters of it. A closing menu fades out taking no input.
TEST_F(DialogTest, MenuFadesInMainMenuRowsOpenTheirPagesTitleMovesItFocusKeysWrapItFadesOut) {
    OnKeyboard('`', 0, 0);
    FramesUntil(400);
    EXPECT_NEAR(Drawn().Bounds(0, 2).MinX, 30.0f - 12.0f, 1e-3f); // 0.8 shown: 0.2 squared of 300 pixels left
    FramesUntil(1000);
    // Each main-menu row opens its page, by a click on it or by Down and Enter, and Back returns. The main
    // menu's letters wobble and are cut out by the alpha test at 0.05, a page's are neither; none blends.
    const struct {
        int Slot, Bottom, BackX;
        const char* Shown; // the page's text, title first
    } rows[] = {{1, Y0 - 55, 180, "ToviStandard Controls...# Globes"},
                {2, Y0 - 95, 250, "Save MenuSave Prefs"},
                {3, Y0 - 135, 250, "Load MenuLoad Prefs"}};
    for (const auto& r : rows)
        for (bool byKeys : {false, true}) {
            ASSERT_EQ(Drawn().Glyphs(), "Main MenuOptions...Save...Load...OffInfoQuit");
            EXPECT_TRUE(DialogText.WobbleOn && DialogText.AlphaTestOn && DialogText.AlphaReference == 0.05f &&
                        !DialogText.BlendOn && Dialogs.Widgets[r.Slot]->Bottom == r.Bottom);
            for (int down = 0; byKeys && down < r.Slot; ++down)
                Press(KeyDown);
            if (byKeys)
                Press(13);
            else
                Click(45, r.Bottom + 15);
            EXPECT_EQ(Drawn().Glyphs().substr(0, std::string(r.Shown).size()), r.Shown) << byKeys;
            EXPECT_TRUE(Dialogs.Widgets[1]->FontSize == (r.Slot == 1 ? 10 : 20) && !DialogText.WobbleOn &&
                        !DialogText.AlphaTestOn);
            Click(r.BackX + 15, Y0 + 15);
        }
    for (int shown : {1, 0}) { // Info shows the info screen and takes it away again
        Click(45, Y0 - 185 + 15);
        EXPECT_EQ(InfoShown, shown);
    }
    // The title is the menu's handle: a drag moves the menu by the pointer's way, and the next drag starts
    // where the last release left it; Left, Right, Page Up and Page Down move it two pixels while it has the
    // focus. Up and Down walk the focus round the rows, and so does Tab.
    const auto titleAt = [](float x, float y) {
        const support::FeedbackBox title = Drawn().Bounds(0, 2);
        EXPECT_TRUE(std::fabs(title.MinX - x) + std::fabs(title.MinY - y) < 1e-3f)
            << title.MinX << ", " << title.MinY;
    };
    // Two drags, each from where the last release left the menu; keys after each.
    const int drags[][6] = {{45, 350, 95, 330, 80, 316}, {95, 330, 105, 340, 90, 326}};
    for (const auto& d : drags) {
        OnMouse(ButtonLeft, ButtonDown, d[0], WindowHeight - 1 - d[1]);
        Step();
        OnMotion(d[2], WindowHeight - 1 - d[3]);
        Step();
        titleAt(float(d[4]), float(d[5]));
        OnMouse(ButtonLeft, ButtonUp, d[2], WindowHeight - 1 - d[3]);
        Step();
        for (int key : {KeyLeft, KeyLeft, KeyRight, KeyPageUp, KeyPageUp, KeyPageDown})
            Press(key);
    }
    titleAt(88.0f, 328.0f);
    Click(45 + 58, Y0 - 95 + 15 - 8); // Save..., and back: the pages stand where the menu was moved to
    Click(250 + 15 + 58, Y0 + 15 - 8);
    titleAt(88.0f, 328.0f);
    const int keys[] = {KeyUp, KeyDown, 9, KeyDown, KeyUp}, focus[] = {5, 0, 1, 2, 1};
    for (int i = 0; i < 5; ++i) {
        Press(keys[i]);
        EXPECT_EQ(Dialogs.Focus, focus[i]) << i;
    }
    // Closing, from where it was moved to.
    OnKeyboard('`', 0, 0);
    OnSpecial(KeyDown, 0, 0);
    FrameAt(Fake.NowMs + 100);
    EXPECT_EQ(Dialogs.Focus, 1);
    EXPECT_NEAR(Drawn().Bounds(0, 2).MinX, 88.0f - 12.0f, 1e-3f); // 0.8 shown again, closing
    FramesUntil(Fake.NowMs + 400);
    EXPECT_EQ(support::CaptureFeedback([this] { Step(); }, 1 << 20).Glyphs().find("Main"), std::string::npos);
}

} // namespace
