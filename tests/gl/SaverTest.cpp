// The screensaver: which run its command line and environment choose, with what options, and the program
// it turns into, frame after frame on the scripted host: the scene alone, the settings of Tovi.pref, the
// camera wandering by itself, nothing heard and nothing written.

#include "app/Saver.h"
#include "support/GlTestFixture.h"

#include <filesystem>
#include <string>
#include <vector>

namespace {

using namespace gltest;

TEST(SaverOptionsTest, ModeWindowAndOptionsFromTheCommandLineAndTheEnvironment) {
    const std::string badId = "takes a window id, in hex as 0x1a00005 or in decimal, not ";
    const std::string ignored = "Tovi: -globes takes 1, 2 or 3, not \"4\"; ignored\n"
                                "Tovi: -globes takes 1, 2 or 3, not \"12\"; ignored\n"
                                "Tovi: unknown option \"-x\" ignored\n";
    const struct {
        std::vector<const char*> Arguments;
        const char* Environment; // XSCREENSAVER_WINDOW
        int Chosen;
        unsigned long Window;
        int Globes, FpsClock;
        std::string Messages; // the error, then the lines on stderr
    } cases[] = {
        {{"-display", ":1", "-globes", "2", "-x"}, "", 0, 0, 0, 0, ""}, // GLUT's command line
        {{}, "0x60000C", 1, 0x60000C, 0, 0, ""},
        {{"--root", "--globes", "3", "-fps"}, nullptr, 1, 0, 3, 1, ""},
        {{"-root", "-window-id", "4242", "-globes", "1"}, "0x60000C", 1, 4242, 1, 0, ""},
        {{"-root", "-globes", "4", "-globes", "12", "-x", "--fps"}, nullptr, 1, 0, 0, 1, ignored},
        {{"-window-id", "0X1FFFFFFF"}, nullptr, 1, 0x1FFFFFFF, 0, 0, ""}, // the largest id there is
        {{"-window-id", "0x20000000"}, nullptr, 1, 0, 0, 0, "Tovi: -window-id " + badId + "\"0x20000000\"\n"},
        {{}, "0", 1, 0, 0, 0, "Tovi: XSCREENSAVER_WINDOW " + badId + "\"0\"\n"},
    };
    for (const auto& c : cases) {
        std::vector<const char*> argv = {"tovi"};
        argv.insert(argv.end(), c.Arguments.begin(), c.Arguments.end());
        SCOPED_TRACE(testing::Message() << "case " << &c - cases);
        testing::internal::CaptureStderr();
        const SaverOptions options = ReadSaverOptions(int(argv.size()), argv.data(), c.Environment);
        EXPECT_EQ(options.Error + testing::internal::GetCapturedStderr(), c.Messages);
        EXPECT_EQ(std::make_tuple(options.Chosen, options.Window, options.Globes, options.FpsClock),
                  std::make_tuple(c.Chosen, c.Window, c.Globes, c.FpsClock));
    }
}

using SaverTest = ProgramTest;
using std::filesystem::directory_iterator;

TEST_F(SaverTest, ShowsTheSceneAloneWithTheSavedSettingsAndNeitherSoundsNorWrites) {
    SettingsStore saved; // a manual camera, letterbox 2 and the clock, saved with "!"
    saved.CameraMode = 1;
    saved.Letterbox = 2;
    saved.FpsClock = 1;
    ASSERT_EQ(saved.Save("Tovi"), 0);
    const support::Bytes file = support::ReadFile("Tovi.pref");
    // The interactive program would show the logo, the title, the status line and the saved clock.
    for (int fpsOption : {0, 1}) {
        SCOPED_TRACE(testing::Message() << "-fps " << fpsOption);
        StartProgram();
        const std::size_t waves = Fake.Waves.size();
        const char* argv[] = {"tovi", "-root", "-globes", "3", "-fps"}; // without -globes, the one globe
        BecomeSaver(ReadSaverOptions(fpsOption ? 5 : 2, argv, nullptr));
        EXPECT_EQ(GlobeCount, fpsOption ? 3 : 1);
        // No stars, no globes, no light: whatever is lit is the opening or an overlay; only the clock may be.
        Settings.Universe = 0;
        Settings.SpotLights = 0;
        GlobeCount = 0;
        FramesUntil(5000); // the title slides across the top during the first ten seconds
        const int clock = LitPixels(WindowWidth - 120, WindowHeight - 45, WindowWidth, WindowHeight);
        EXPECT_EQ(LitPixels(0, 0, WindowWidth, WindowHeight), clock);
        EXPECT_EQ(clock > 0, fpsOption == 1);

        // Past the time the wind would blow again; the camera drifts about its anchor (0, 0, 1.25).
        FramesUntil(45000);
        EXPECT_EQ(std::make_tuple(Fake.Waves.size(), Settings.Letterbox, support::ReadFile("Tovi.pref"),
                                  std::distance(directory_iterator("."), directory_iterator())),
                  std::make_tuple(waves, 2, file, 1));
        EXPECT_NEAR(MainCamera.X, 0.0f, 0.125f);
        EXPECT_NEAR(MainCamera.Z, 1.25f, 0.125f);

        // The host's end (a signal, the window gone) ends the run at once, cleanly and silently: a
        // screensaver's console is its daemon's log.
        const GLuint stars = GLuint(Universe.List);
        EXPECT_EQ(ConsoleOutput(ProgramCallbacks().Close), "");
        EXPECT_EQ(std::make_tuple(Fake.ExitStatus, glIsList(stars)), std::make_tuple(0, GLboolean(GL_FALSE)));
    }
}

} // namespace
