#pragma once

// The special-key, mouse and pointer-motion callbacks. Arrow keys and the pointer only record state for
// the camera; the function, page and home keys tune settings, and the right button toggles the menu.
void OnSpecial(int key, int x, int y);
void OnSpecialUp(int key, int x, int y);
void OnMotion(int x, int y); // both motion and passive motion
void OnMouse(int button, int state, int x, int y);
