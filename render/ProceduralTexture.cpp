#include "render/ProceduralTexture.h"

#include "render/MathUtil.h"
#include "render/Texture.h"

#include <GL/gl.h>
#include <cmath>
#include <cstdlib>

namespace {

constexpr int MaxSide = 256;
constexpr int BytesPerPixel = 4;

constexpr int GlowSide = 256;
constexpr int GlowCentre = GlowSide / 2;
constexpr int RayCount = 20;
constexpr int RayLength = 127; // points per ray on each side of the centre
constexpr int FalloffSteps = 128;

// A ray point lies at most RayLength - 1 pixels from the centre along each axis (|sin|, |cos| <= 1), and
// truncation only moves it towards the centre, so every point and its mirror stay inside the image.
static_assert(GlowCentre - (RayLength - 1) >= 0 && GlowCentre + (RayLength - 1) < GlowSide,
              "glow rays must stay inside the glow image");
static_assert(RayLength <= FalloffSteps, "every ray point needs a falloff entry");

// The glow animation's state lives for the whole run; it is drawn from the random generator on the first
// update so that the rays start wherever the generator happens to be after start-up.
bool GlowReady = false;
float RayAngle[RayCount];
float RaySpeed[RayCount];
float RayBrightness[RayCount];
float RayFalloff[FalloffSteps];
unsigned char GlowImage[GlowSide * GlowSide * BytesPerPixel];

void SetGrey(unsigned char* pixel, unsigned char value) {
    pixel[0] = pixel[1] = pixel[2] = pixel[3] = value;
}

// A round spot, brightest in the middle, with a little grain so that it does not band when stretched over
// a large floor.
void FillSpot(unsigned char* image, int side) {
    const int half = side / 2;
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
            const double dx = x - half, dy = y - half;
            const float d = MinF(float(std::sqrt(dx * dx + dy * dy) / half), 1.0f);
            const float value = float((1.0f - d * d) * 234.0 + RandomFloat(20.0));
            SetGrey(image + (y * side + x) * BytesPerPixel, static_cast<unsigned char>(value));
        }
}

// A vertical band that is full white over its middle third and falls to black at the left and right
// edges; sparkle grows denser towards the middle, so the arcs drawn with it look grainy. Both images draw
// their random numbers pixel by pixel in memory order, row after row.
void FillBand(unsigned char* image, int side) {
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
            // The band is laid out for a side of 128; the clamp keeps wider images defined (dark beyond).
            const float fromEdge = MaxF(float(64 - std::abs(x - 64)), 0.0f);
            float t = MaxF(MinF(float(std::sqrt(double(fromEdge)) / 7.0), 1.0f), 0.0f);
            t = t * t * 255.0f;
            const float value = RandomFloat(255.0 - t) < 30.0 ? 255.0f : t;
            SetGrey(image + (y * side + x) * BytesPerPixel, static_cast<unsigned char>(value));
        }
}

void PrepareGlow() {
    for (int i = 0; i < RayCount; ++i) {
        RayAngle[i] = float(RandomFloat(6.2831854820251465));
        RaySpeed[i] = float(RandomFloat(0.1) - 0.05);
        RayBrightness[i] = float(RandomFloat(0.5) + 0.5);
    }
    for (int j = 0; j < FalloffSteps; ++j)
        RayFalloff[j] = float(256 - 2 * j) / 256.0f;
    GlowReady = true;
}

// A soft disc: flat in the middle, fading to black well inside the corners so that the sprite's square
// edges never show.
void DrawBaseGlow() {
    for (int y = 0; y < GlowSide; ++y)
        for (int x = 0; x < GlowSide; ++x) {
            const double dx = x - GlowCentre, dy = y - GlowCentre;
            const float r = float(std::sqrt(dx * dx + dy * dy));
            const float v = 1.1f - r / 128.0f;
            const float level = v > 0.95f ? 1.0f : v * 1.05f;
            const unsigned char value = level < 0.0f ? 0 : static_cast<unsigned char>(level * 250.0f);
            SetGrey(GlowImage + (y * GlowSide + x) * BytesPerPixel, value);
        }
}

unsigned char* GlowPixel(int row, int column) {
    return GlowImage + (row * GlowSide + column) * BytesPerPixel;
}

// Each ray is a line through the centre in both directions. A ray only ever brightens the point it tests,
// so crossing rays and the glow beneath keep their brighter parts.
void DrawRays() {
    for (int i = 0; i < RayCount; ++i) {
        RayAngle[i] += RaySpeed[i];
        const float sn = std::sin(RayAngle[i]);
        const float cs = std::cos(RayAngle[i]);
        for (int j = 0; j < RayLength; ++j) {
            const int level = static_cast<int>(255.0f * RayFalloff[j] * RayBrightness[i]);
            unsigned char* pixel = GlowPixel(int(j * sn + GlowCentre), int(j * cs + GlowCentre));
            if (level > pixel[0]) {
                SetGrey(pixel, static_cast<unsigned char>(level));
                SetGrey(GlowPixel(int(-j * sn + GlowCentre), int(-j * cs + GlowCentre)),
                        static_cast<unsigned char>(level));
            }
        }
    }
}

} // namespace

unsigned int GenerateTexture(Texture& texture, int kind, int side) {
    if (side != 128 && side != MaxSide)
        return 0;
    if (kind != SpotKind && kind != BandKind)
        return 0;

    // On the stack: built once at start-up and handed to OpenGL in one piece, so nothing stays allocated.
    unsigned char image[MaxSide * MaxSide * BytesPerPixel];
    if (kind == SpotKind)
        FillSpot(image, side);
    else
        FillBand(image, side);

    GLuint name = 0;
    glGenTextures(1, &name);
    texture.Name = name;
    texture.Bind();
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, side, side, 0, GL_RGBA, GL_UNSIGNED_BYTE, image);
    return name;
}

void UpdateGlowRays(unsigned int textureName) {
    if (!GlowReady)
        PrepareGlow();
    DrawBaseGlow();
    DrawRays();
    // Straight to the name: the texture already has its storage, wrap and filters, so only the texels
    // change, and no new texture is created per update.
    glBindTexture(GL_TEXTURE_2D, textureName);
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, GlowSide, GlowSide, GL_RGBA, GL_UNSIGNED_BYTE, GlowImage);
}
