"""The program on a Wayland desktop: on Xwayland under weston, nested in the test's Xvfb, with the keys, clicks
and pointer moves going through weston; skipped where weston cannot start. TOVI_BUILD_DIR: the build folder."""

import os
import time
import unittest

from e2e_program import BUILD, FLOOR, H, MENU, SHUTDOWN, STARTUP, W, SessionTest
from xsession import Compositor, Program, wait_for

UPPER = (0, int(0.1 * H), W, int(0.4 * H))  # stars above the floor in the opening's first view


class WaylandTest(SessionTest):

    def test_a_session_through_xwayland(self):
        try:
            x = Compositor(self.xserver).__enter__()
        except RuntimeError as error:
            self.skipTest(str(error))
        self.addCleanup(x.__exit__)
        lit = lambda *box, **how: x.screenshot().lit(*box, **how)  # noqa: E731
        looking_ahead = lambda: lit(*UPPER) < 0.5 and lit(*FLOOR) > 0.3  # noqa: E731

        # The window appears under the desktop's pointer near the top edge, goes full screen inside the
        # compositor, and the opening shows its own first view, the lit floor, all the same.
        x.move_pointer(W // 2, 40)
        folder = os.path.join(self.scratch, "wayland")
        os.makedirs(folder)
        run = Program(x, os.path.join(BUILD, "tovi"), folder)
        self.addCleanup(run.close)
        wait_for("full screen", lambda: (x.window("Tovi") or (0,))[1:] == (0, 0, W, H))
        wait_for("the opening's lit floor", looking_ahead)
        time.sleep(2.0)  # past the fade-in and the pointer's arrival in the window
        self.assertTrue(looking_ahead(), "the opening's first view")

        # Mouse look: 300 pixels down turn the view down to the floor, 300 up turn it back, where it stays.
        for step, turned in ((30, lambda: lit(*UPPER) > 0.95), (-30, looking_ahead)):
            for _ in range(10):
                x.move_pointer(0, step, relative=True)
                time.sleep(0.05)
            wait_for("the view turned by %d pixels" % (10 * step), turned)
        time.sleep(1.0)
        self.assertTrue(looking_ahead(), "the view holds still with the pointer")

        # A click shows the globes, P pauses them, the backquote opens the menu, two quit keys end the program
        # at once.
        x.click(W // 2, 40)
        wait_for("glowing plasma", lambda: lit(0, H // 2, W, H) < 0.2 and lit(0, 0, W, H, level=450) > 0.001)
        x.keys("p")
        hidden = lit(*MENU, step=2, level=300)
        x.keys("grave")
        wait_for("the menu", lambda: lit(*MENU, step=2, level=300) > hidden + 0.01)
        x.keys("Escape", "Escape")
        self.assertEqual(run.wait_exit(), 0, run.console(errors=True))
        self.assertEqual(run.console() + run.console(errors=True), STARTUP % "No Prefs found." + SHUTDOWN)


if __name__ == "__main__":
    unittest.main()
