#pragma once

class Camera;
class SettingsStore;

// The full-window passes that frame every picture: letterbox bands, viewport, the pixel-exact 2-D and the
// perspective 3-D projection, the per-frame clear with its trail mode, timed full clears and fades.
// Window coordinates count from the bottom of the window, as OpenGL's do.
class ScreenView {
public:
    static constexpr int MaxLetterbox = 6;

    virtual ~ScreenView() = default;

    void Reshape(int width, int height);

    // Letterbox step n takes 5 % of the height off the bottom and off the top. Steps outside 0..6 (only
    // a damaged preferences file holds them) are brought to the nearest of those.
    void SetLetterbox(int step);
    void ApplyViewport() const;
    void BeginOrtho() const;       // one unit per window pixel over the picture area
    void BeginOverlay() const;     // one unit per OverlayPixels() window pixels over the picture area
    void BeginPerspective() const; // the scene's projection and eye placement
    void Fade(float alpha) const;  // translucent clear-colour rectangle over the picture area
    void DrawLetterboxBars() const;
    void ClearScreen() const; // depth always; colour unless trails are on

    // The perspective's vertical field of view and aspect as they reach OpenGL: the letterbox narrows the
    // view, and the result stays within 1..179 degrees whatever the settings hold.
    float PerspectiveFov() const;
    double PerspectiveAspect() const;

    // Everything drawn over the scene (text, the help and info pages, the menus and their hit areas) is
    // laid out in overlay units of OverlayPixels() window pixels each: OverlayScale, the scale the user or
    // the desktop asks for, or the largest smaller one at which the window holds the overlay. Whole numbers
    // keep the bitmap font and the menu tiles sharp.
    static constexpr int OverlayMinWidth = 640;  // units: the menus and the help card's longest lines
    static constexpr int OverlayMinHeight = 650; // units: the help card, the tallest page
    int OverlayPixels() const;
    int OverlayWidth() const; // the window in overlay units
    int OverlayHeight() const;

    int Width = 640;
    int Height = 480;
    int Top = 480;       // y of the lower edge of the picture area (height of the lower band)
    int Bottom = 0;      // y of the upper edge of the picture area
    int InnerHeight = 0; // Bottom - Top
    int Letterbox = 0;   // step last applied
    int ClearFrames = 0; // full black clear: 0 none, 1 or 2 clearing, 3 done
    float Near = 0.1f;
    float Far = 100.0f; // before the camera distance and object size are added
    float ClearColor[3] = {0.0f, 0.0f, 0.0f};
    const SettingsStore* SettingsLink = nullptr;
    const Camera* CameraLink = nullptr;
    int OverlayScale = 1; // 1 to 4, chosen at start-up by ChooseOverlayScale

private:
    void Ortho(int pixelsPerUnit) const; // the picture area, pixelsPerUnit window pixels to a unit
};

// The overlay's scale from, in this order: TOVI_SCALE (1 to 4; anything else is named once on stderr and
// ignored), the desktop's Xft.dpi divided by 96 and rounded (at least 1, at most 4), GDK_SCALE (1 to 4),
// else 1. Each argument is the variable's or the resource's text, null when it is not set.
int ChooseOverlayScale(const char* toviScale, const char* xftDpi, const char* gdkScale);

// 0 filled, 1 lines, 2 points; any other value keeps the polygon mode set last.
void ApplyPolygonMode(const SettingsStore& settings);

extern ScreenView View;
