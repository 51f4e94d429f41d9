#pragma once

// The keyboard callback: every ordinary key is a direct control of the running program.
void OnKeyboard(unsigned char key, int x, int y);

// Saves the settings to Tovi.pref and says so on the status line; the key ! and the menu's "Save Prefs".
void SavePrefs();
