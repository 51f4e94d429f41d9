#pragma once

// The keyboard callback: every ordinary key is a direct control of the running program.
void OnKeyboard(unsigned char key, int x, int y);

// Save the settings to Tovi.pref and load them back, saying so on the status line: the keys ! and @ and
// the menu's "Save Prefs" and "Load Prefs".
void SavePrefs();
void LoadPrefs();
