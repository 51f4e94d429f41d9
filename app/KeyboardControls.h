#pragma once

// The keyboard callback: every ordinary key is a direct control of the running program.
void OnKeyboard(unsigned char key, int x, int y);
