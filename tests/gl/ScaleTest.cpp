// The overlay at scale 2 in a window twice as large is the overlay at scale 1 twice as large: the status
// line, the frame-rate clock, a menu page and the help card send every corner to twice its place, and a
// press in the middle of a row drawn at scale 2 operates that row.

#include "app/HelpScreens.h"
#include "support/GlTestFixture.h"

#include <cmath>

namespace gltest {
namespace {

using ScaleTest = ProgramTest;

TEST_F(ScaleTest, TheOverlayAtScaleTwoIsTwiceAsLargeAndTakesPressesWhereItIsDrawn) {
    StatusLine.Show("Letterbox: 3");
    std::vector<support::FeedbackVertex> drawn[2];
    for (int scale : {1, 2}) {
        View.OverlayScale = scale;
        ProgramCallbacks().Reshape(640 * scale, 650 * scale); // the smallest window that holds the scale
        Dialogs.OpenMenu(StandardMenu, 0);
        Dialogs.Visibility = Dialogs.TargetVisibility = 1.0f;
        FrameAt(100);
        View.BeginOverlay();
        drawn[scale - 1] = support::CaptureFeedback([] {
                               StatusLine.DrawIfShown();
                               FpsDisplay.Draw();
                               Dialogs.DrawMenu();
                               ShowHelp();
                           }).Vertices();
    }
    ASSERT_EQ(drawn[0].size(), drawn[1].size());
    EXPECT_GT(drawn[0].size(), 10000u);
    int misplaced = 0;
    for (std::size_t i = 0; i < drawn[0].size(); ++i)
        misplaced += std::fabs(drawn[1][i].X - 2.0f * drawn[0][i].X) > 0.01f ||
                     std::fabs(drawn[1][i].Y - 2.0f * drawn[0][i].Y) > 0.01f ||
                     drawn[1][i].S != drawn[0][i].S;
    EXPECT_EQ(misplaced, 0);

    // The Letterbox slider (0 to 6.8) lies at 30..170 x 272..296 units: a press at twice its middle.
    Mouse.PointerX = 200;
    Mouse.PointerY = 568;
    Mouse.LeftButton = 1;
    Dialogs.HandleMenuInput();
    EXPECT_EQ(std::make_tuple(Dialogs.ActivatedId, Dialogs.ActivatedValue), std::make_tuple(59, 3.4f));
}

} // namespace
} // namespace gltest
