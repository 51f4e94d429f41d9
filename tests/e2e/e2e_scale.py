"""The overlay at the desktop's scale, with real keys and clicks: on 3840 x 2160 with Xft.dpi 192 from xrdb the
help card is about twice as tall as on 1920 x 1080 without it, and a click on a row drawn at scale 2 works."""

import os
import subprocess

from e2e_program import BUILD, SessionTest, read
from xsession import Program, XServer, wait_for


class ScaleTest(SessionTest):

    def start(self, width, height, dpi=b""):
        """The program on a screen of its own, stars off: its help card's rows of white text, left and below
        the status line, from first to last, once steady."""
        self.xserver = x = XServer(width, height, "-noreset").__enter__()  # xrdb's resources stay
        self.addCleanup(x.__exit__)
        subprocess.run(["xrdb", "-nocpp", "-merge"], input=dpi, env=x.environment(), check=True)
        environment = {name: value for name, value in os.environ.items() if "SCALE" not in name}  # TOVI_, GDK_
        run = Program(x, os.path.join(BUILD, "tovi"), self.scratch, environment)
        self.addCleanup(run.close)
        run.wait_for_window("Tovi", 60)
        x.click(width // 2, height // 2)
        x.keys("u", "question")
        steady = [None]

        def card():
            shot = x.screenshot()
            rows = [y for y in range(height // 25, height)
                    if any(sum(shot.rgb(column, y)) > 600 for column in range(0, width // 20, 2))]
            same, steady[0] = rows == steady[0], rows
            return same and rows and rows[-1] - rows[0] + 1
        return run, wait_for("the help card", card, 90)

    def test_the_help_card_and_a_menu_row_at_the_desktops_scale(self):
        run, small = self.start(1920, 1080)
        run.close()
        large = self.start(3840, 2160, b"Xft.dpi: 192\n")[1]
        self.assertTrue(1.8 < large / small < 2.2, (large, small))
        # "Options..." at 30..60 x 701..731 units, then "MouseLook Sensitivity" (0..2, 30..170 x 650..674) at 135
        self.xserver.keys("grave")
        self.xserver.click(90, 2160 - 2 * 716)
        self.xserver.click(270, 2160 - 2 * 662)

        def saved():  # "!" until the saved settings hold the slider's new value
            self.xserver.keys("exclam")
            return (read(os.path.join(self.scratch, "Tovi.pref"), True) or [0] * 33)[32] == 1.5
        wait_for("the slider's value saved", saved)

