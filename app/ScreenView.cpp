#include "app/ScreenView.h"

#include "app/Globals.h"
#include "app/Settings.h"
#include "render/Camera.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <cmath>
#include <cstdio>
#include <cstdlib>

void ScreenView::Reshape(int width, int height) {
    Width = width;
    Height = height;
    glViewport(0, 0, width, height);
}

void ScreenView::SetLetterbox(int step) {
    Letterbox = step < 0 ? 0 : step > MaxLetterbox ? MaxLetterbox : step;
    Top = int(Letterbox * 0.05 * Height);
    Bottom = int((1.0 - Letterbox * 0.05) * Height);
    InnerHeight = Bottom - Top;
}

void ScreenView::ApplyViewport() const {
    glViewport(0, Top, Width, InnerHeight);
}

void ScreenView::BeginOrtho() const {
    Ortho(1);
}

void ScreenView::BeginOverlay() const {
    Ortho(OverlayPixels());
}

void ScreenView::Ortho(int pixelsPerUnit) const {
    // A minimised window has no picture area; keep the projection valid all the same.
    const int right = Width > 0 ? Width : 1;
    const int top = Bottom > Top ? Bottom : Top + 1;
    const double unit = pixelsPerUnit;
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0.0, right / unit, Top / unit, top / unit, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

int ScreenView::OverlayPixels() const {
    int scale = OverlayScale;
    while (scale > 1 && (Width < scale * OverlayMinWidth || Height < scale * OverlayMinHeight))
        --scale;
    return scale > 1 ? scale : 1;
}

int ScreenView::OverlayWidth() const {
    return Width / OverlayPixels();
}

int ScreenView::OverlayHeight() const {
    return Height / OverlayPixels();
}

float ScreenView::PerspectiveFov() const {
    const double narrowing = Letterbox / 6.0;
    const double fovy = double(CameraLink->Fov) - 44.0 * narrowing * narrowing;
    return float(fovy < 1.0 ? 1.0 : fovy > 179.0 ? 179.0 : fovy);
}

double ScreenView::PerspectiveAspect() const {
    return double(Width > 0 ? Width : 1) / double(InnerHeight > 0 ? InnerHeight : 1);
}

void ScreenView::BeginPerspective() const {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(PerspectiveFov(), PerspectiveAspect(), Near,
                   double(Far) + SettingsLink->CameraZ + SettingsLink->ObjectSize);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    const double eyeZ = SettingsLink->CameraZ;
    gluLookAt(0.0, 0.0, eyeZ, 0.0, 0.0, eyeZ - 1.0, 0.0, 1.0, 0.0);
}

void ScreenView::Fade(float alpha) const {
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDepthMask(GL_FALSE);
    glColor4f(ClearColor[0], ClearColor[1], ClearColor[2], alpha);
    glPushAttrib(GL_POLYGON_BIT);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glRectf(0.0f, float(Top), float(Width), float(Bottom));
    glPopAttrib();
    glDisable(GL_BLEND);
    glDepthMask(GL_TRUE);
}

void ScreenView::DrawLetterboxBars() const {
    glColor3f(0.0f, 0.0f, 0.0f);
    glPushAttrib(GL_POLYGON_BIT);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glRectf(0.0f, 0.0f, float(Width), float(Top));
    glRectf(0.0f, float(Bottom), float(Width), float(Height));
    glPopAttrib();
}

void ScreenView::ClearScreen() const {
    glClear(GL_DEPTH_BUFFER_BIT);
    if (!SettingsLink->ScreenClear)
        return; // trails: the frame loop has faded the last picture instead
    glClearColor(ClearColor[0], ClearColor[1], ClearColor[2], 1.0f);
    if (SettingsLink->Letterbox != 0)
        Fade(1.0f); // only the picture area, so the bands keep their black
    else if (ClearFrames == 0)
        glClear(GL_COLOR_BUFFER_BIT);
}

void ApplyPolygonMode(const SettingsStore& settings) {
    switch (settings.PolygonMode) {
    case 0:
        glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
        break;
    case 1:
        glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
        break;
    case 2:
        glPolygonMode(GL_FRONT_AND_BACK, GL_POINT);
        break;
    default:
        break;
    }
}

namespace {

// A whole number from 1 to 4 and nothing else; 0 for any other text.
int ScaleFrom(const char* text) {
    return text && text[0] >= '1' && text[0] <= '4' && text[1] == '\0' ? text[0] - '0' : 0;
}

// Xft.dpi over 96, the resolution of an unscaled desktop, to the nearest whole number from 1 to 4; 0 for
// text that is no positive number.
int ScaleFromDpi(const char* text) {
    if (!text)
        return 0;
    char* end = nullptr;
    const double dpi = std::strtod(text, &end);
    while (end != text && (*end == ' ' || *end == '\t'))
        ++end;
    if (end == text || *end != '\0' || !(dpi > 0.0))
        return 0;
    const double scale = std::round(dpi / 96.0);
    return scale < 1.0 ? 1 : scale > 4.0 ? 4 : int(scale);
}

} // namespace

int ChooseOverlayScale(const char* toviScale, const char* xftDpi, const char* gdkScale) {
    if (const int forced = ScaleFrom(toviScale))
        return forced;
    if (toviScale && toviScale[0] != '\0')
        std::fprintf(stderr, "%s: TOVI_SCALE takes a whole number from 1 to 4, not \"%s\"; ignored\n",
                     ProgramName, toviScale);
    if (const int desktop = ScaleFromDpi(xftDpi))
        return desktop;
    if (const int gdk = ScaleFrom(gdkScale))
        return gdk;
    return 1;
}
