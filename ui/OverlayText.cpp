#include "ui/OverlayText.h"

#include "app/FrameClock.h"
#include "app/ScreenView.h"
#include "app/Settings.h"
#include "render/Texture.h"
#include "scene/OscillatorBank.h"

#include <GL/gl.h>
#include <cassert>
#include <cstdio>
#include <cstring>

const ::Texture* OverlayText::Font = nullptr;
const OscillatorBank* OverlayText::WaveBank = nullptr;
const FrameClock* OverlayText::ClockLink = nullptr;
ScreenView* OverlayText::ViewLink = nullptr;

namespace {

// The font image is a grid of 16 x 8 cells holding bytes 32 to 159, row 0 at the top of the image.
constexpr float CellWidth = 1.0f / 16.0f;
constexpr float CellHeight = 1.0f / 8.0f;

} // namespace

OverlayText::OverlayText() {
    ResetStyle();
    Radius = 10.0f;
}

void OverlayText::ResetStyle() {
    Red = Green = Blue = Alpha = 1.0f;
    AlphaTestOn = 1;
    BlendOn = 1;
    Advance = 0.9f;
    Brightness = 1.0f;
    AlphaReference = 0.01f;
    Slant = 3.0f;
    ShowUntil = 0.0f;
    ShowDuration = 3.0f;
    WobbleOn = SwayOn = WaveOn = 0;
    for (int axis = 0; axis < 2; ++axis) {
        WobbleFrequency[axis] = WobbleAmplitude[axis] = 1.0f;
        SwayFrequency[axis] = SwayAmplitude[axis] = 1.0f;
        WaveFrequency[axis] = WaveAmplitude[axis] = 1.0f;
    }
}

void OverlayText::SetColor(float red, float green, float blue) {
    Red = red;
    Green = green;
    Blue = blue;
}

void OverlayText::Draw(const char* text, float x, float y, float size) {
    assert(Font && WaveBank && ClockLink && "text links are set at start-up");
    if (text != Text) {
        // memmove: the text may lie inside this object's own buffer.
        const size_t length = strnlen(text, TextBytes - 1);
        std::memmove(Text, text, length);
        Text[length] = '\0';
    }
    X = x;
    Y = y;
    Radius = size;
    const float s = size;

    float wobbleX = 0.0f, wobbleY = 0.0f;
    if (WobbleOn) {
        wobbleX =
            WaveBank->Value(1, 100.0f * WobbleFrequency[0], 2.0f, -1.0f) * s * WobbleAmplitude[0] * 0.2f;
        wobbleY =
            WaveBank->Value(2, 100.0f * WobbleFrequency[1], 2.0f, -1.0f) * s * WobbleAmplitude[1] * 0.2f;
    }
    float swayX = 0.0f, swayY = 0.0f;
    if (SwayOn) {
        swayX = WaveBank->Value(3, 100.0f * SwayFrequency[0], 2.0f, -1.0f) * s * SwayAmplitude[0] * 0.5f;
        swayY = WaveBank->Value(4, 100.0f * SwayFrequency[1], 2.0f, -1.0f) * s * SwayAmplitude[1] * 0.5f;
    }
    float penX = x + swayX;
    const float penY = y + swayY;

    if (AlphaTestOn) {
        glEnable(GL_ALPHA_TEST);
        glAlphaFunc(GL_GREATER, AlphaReference);
    }
    if (BlendOn) {
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    }
    glDepthMask(GL_FALSE);
    glEnable(GL_TEXTURE_2D);
    Font->Bind();
    glColor4d(double(Red) * Brightness, double(Green) * Brightness, double(Blue) * Brightness, Alpha);
    // Text is drawn filled even while the scene is shown as lines or points.
    glPushAttrib(GL_POLYGON_BIT);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);

    const float wavePhase = -5.0f * ClockLink->Now; // the wave runs along the string at 5 radians a second
    for (int i = 0; Text[i] != '\0'; ++i) {
        float scaleX = 1.0f, scaleY = 1.0f;
        if (WaveOn) {
            scaleX = WaveBank->ValueShifted(5, 25.0f * WaveFrequency[0], float(i) + wavePhase, 2.0f, 0.5f) *
                     WaveAmplitude[0] * 0.5f;
            scaleY = WaveBank->ValueShifted(6, 25.0f * WaveFrequency[1], float(i) + wavePhase, 2.0f, 0.5f) *
                     WaveAmplitude[1] * 0.5f;
        }
        const float halfWidth = s * 0.5f * scaleX;
        const float halfHeight = s * scaleY;

        const int glyph = (static_cast<unsigned char>(Text[i]) - 32) & 0xFF;
        const float left = float(glyph % 16) * CellWidth;
        const float right = left + CellWidth;
        const float bottom = 1.0f - CellHeight - float(glyph / 16) * CellHeight;
        const float top = bottom + CellHeight;

        // The alternating signs of the wobble shear and squeeze each glyph; the slant leans its top.
        glBegin(GL_QUADS);
        glTexCoord2f(left, bottom);
        glVertex2f(penX - halfWidth + wobbleX, penY - halfHeight - wobbleY);
        glTexCoord2f(right, bottom);
        glVertex2f(penX + halfWidth - wobbleX, penY - halfHeight + wobbleY);
        glTexCoord2f(right, top);
        glVertex2f(penX + halfWidth + Slant + wobbleX, penY + halfHeight - wobbleY);
        glTexCoord2f(left, top);
        glVertex2f(penX - halfWidth + Slant - wobbleX, penY + halfHeight + wobbleY);
        glEnd();
        penX += s * Advance;
    }

    glPopAttrib();
    if (AlphaTestOn) {
        glDisable(GL_ALPHA_TEST);
        glAlphaFunc(GL_GREATER, 0.0f);
    }
    if (BlendOn) {
        glDisable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    }
    glDepthMask(GL_TRUE);
    glDisable(GL_TEXTURE_2D);
}

void OverlayText::ShowStored() {
    ShowUntil = ClockLink->Now + ShowDuration;
}

void OverlayText::Show(const char* text) {
    std::snprintf(Text, sizeof Text, "%s", text);
    ShowStored();
}

void OverlayText::ShowFormatted(const char* format, float value) {
    std::snprintf(Text, sizeof Text, format, double(value));
    ShowStored();
}

void OverlayText::ShowFormatted(const char* format, int value) {
    std::snprintf(Text, sizeof Text, format, value);
    ShowStored();
}

void OverlayText::ShowFormatted(const char* format, const char* value) {
    std::snprintf(Text, sizeof Text, format, value ? value : "unknown");
    ShowStored();
}

void OverlayText::DrawIfShown() {
    if (ShowUntil == 0.0f)
        return;
    if (ClockLink->Now < ShowUntil) {
        Draw(Text, X, Y, Radius);
    } else {
        ShowUntil = 0.0f;
        ViewLink->ClearFrames = 1;
    }
}

void FpsText::Tick(float now) {
    ++FrameCount;
    // The windows advance by whole seconds from 0, not from the frame that closes them.
    if (!(now < NextTick)) {
        NextTick += 1.0;
        Fps = FrameCount;
        FrameCount = 0;
    }
}

void FpsText::Draw() {
    ShowFormatted("FPS: %d", Fps);
    X = float(ViewLink->OverlayWidth() - 100);
    Y = float(ViewLink->OverlayHeight() - 20);
    DrawIfShown();
}

void ShowOption() {
    if (Settings.OptionIndex == 0)
        StatusLine.Show("No Options");
    else if (Settings.OptionIndex == 1)
        StatusLine.Show("Option 1/4: ");
}

void ShowImageOption() {
    if (Settings.ImageOptionIndex == 0)
        StatusLine.Show("No Image Options");
    else if (Settings.ImageOptionIndex == 1)
        StatusLine.Show("Image 1/11: ");
}
