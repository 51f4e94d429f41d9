#pragma once

#include "render/SceneObject.h"

class FrameClock;
class OscillatorBank;
class ScreenView;
class Texture;

// All writing on the screen: a string drawn as one textured quad per character from the font grid, in
// overlay units over the finished view. Each object carries its own style and a few animated distortions
// (wobble, sway, wave) driven by the shared text bank, and remembers the last string it drew or was given,
// so that a timed message can be drawn again on later frames. X and Y are the centre of the first
// character's cell, Radius the glyph size (a glyph is Radius wide and twice as high), Red to Alpha the
// colour.
class OverlayText : public SceneObject {
public:
    static constexpr int TextBytes = 80;

    OverlayText();

    // Every style field and the colour (white, opaque) back to its default; text, anchor and size stay.
    void ResetStyle();
    void SetColor(float red, float green, float blue);

    // Stores the text (cut to 79 characters; it may be this object's own Text), the anchor and the size,
    // and draws the string at once in the current projection.
    void Draw(const char* text, float x, float y, float size);

    // Timed messages: shown from the call for ShowDuration seconds of the frame clock.
    void Show(const char* text);
    void ShowFormatted(const char* format, float value);
    void ShowFormatted(const char* format, int value);
    void ShowFormatted(const char* format, const char* value);
    // Draws the message while it lasts; when it expires, asks for a full clear so no trace stays behind.
    void DrawIfShown();

    int AlphaTestOn = 1;
    int BlendOn = 1;
    float Advance = 0.9f;    // pen step, a fraction of the glyph size
    float Brightness = 1.0f; // multiplies red, green and blue
    float AlphaReference = 0.01f;
    float Slant = 3.0f;     // pixels the top edge of each glyph leans right, at every size
    float ShowUntil = 0.0f; // seconds on the frame clock; 0 when no message is shown
    float ShowDuration = 3.0f;
    int WobbleOn = 0;
    int SwayOn = 0;
    int WaveOn = 0;
    float WobbleFrequency[2] = {1.0f, 1.0f}; // horizontal, vertical
    float WobbleAmplitude[2] = {1.0f, 1.0f};
    float SwayFrequency[2] = {1.0f, 1.0f};
    float SwayAmplitude[2] = {1.0f, 1.0f};
    float WaveFrequency[2] = {1.0f, 1.0f}; // the horizontal wave acts on glyph width, the vertical on height
    float WaveAmplitude[2] = {1.0f, 1.0f};
    char Text[TextBytes] = {};

    // Shared by every text object; set once at start-up before anything is drawn.
    static const ::Texture* Font;
    static const OscillatorBank* WaveBank;
    static const FrameClock* ClockLink;
    static ScreenView* ViewLink;

private:
    void ShowStored();
};

// The frame-rate clock: counts frames over consecutive one-second windows of the frame clock.
class FpsText : public OverlayText {
public:
    // Counts one frame; at each whole second of now, the count of the window just ended becomes Fps.
    void Tick(float now);
    // "FPS: n" at the top right of the window.
    void Draw();

    double NextTick = 0.0; // seconds: end of the current window
    int FrameCount = 0;
    int Fps = 0;
};

// The label of the current option selectors on the status line.
void ShowOption();
void ShowImageOption();

extern OverlayText StatusLine; // timed messages at the top left
extern OverlayText TitleText;  // the program's name sliding across at start
extern OverlayText ScreenText; // help and info screens
extern OverlayText DialogText; // menu labels and values
extern OverlayText ErrorText;  // the last OpenGL error, drawn only in debug builds
extern FpsText FpsDisplay;
