#pragma once

// The scene of one frame, after the camera transform: the stars, the moving light, the glow animation,
// now and then the wind, and the opening logo until the first left click, the globes after it.
void DrawScene();

// The logo gives way to the globes for the rest of the run, with the camera wandering by itself.
void EndOpening();

// The quit: the hit sounds, and the next frame captures the picture for the shattering fade-out, which
// ends the program two seconds later.
void StartExit();

// Draws the scene once more into the lower-left size x size pixels and copies them into the texture, for
// the shattering exit.
void CaptureScreen(int size, unsigned int textureName);

// The captured picture as six by six tiles that fly sideways, spin and fall.
void DrawShatter();

constexpr int ShatterColumns = 6;
constexpr int ShatterRows = 6;

// One tile of the shattering picture: its centre and velocity in pixels, its angle in degrees.
struct ShatterTile {
    float X, Y, VX, VY, Angle, Spin;
};

extern float TextureAnimTimer; // seconds since the glow was last animated
extern ShatterTile ShatterTiles[ShatterColumns][ShatterRows];
extern int ShatterStarted; // the tiles of the current capture are laid out
