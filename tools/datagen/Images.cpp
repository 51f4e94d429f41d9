// controls_128.bmp (widget tiles), metalplate128.bmp (brushed metal) and floor.bmp (marble floor tiles).
#include "DataGen.h"

#include <algorithm>
#include <cmath>

namespace datagen {

namespace {

struct Colour {
    double R, G, B;
};
Colour operator+(Colour a, Colour b) {
    return {a.R + b.R, a.G + b.G, a.B + b.B};
}
Colour operator*(Colour a, double k) {
    return {a.R * k, a.G * k, a.B * k};
}
Colour Mix(Colour a, Colour b, double t) {
    return a * (1.0 - t) + b * t;
}
Rgb ToRgb(Colour c) {
    return Rgb{ToByte(c.R), ToByte(c.G), ToByte(c.B)};
}

const Colour Black{0, 0, 0}, White{1, 1, 1}, Rim{0.16, 0.18, 0.24};

// ---- Control tiles --------------------------------------------------------------------------------------
// Each 32 x 32 tile is shaded at 4 x 4 points per pixel (tile coordinates, y down) and averaged, so edges
// are smooth. Black is transparent: the program takes alpha from brightness.

// A rounded box: centre, half extents, corner radius.
struct Box {
    double Cx, Cy, Hw, Hh, R;
    double Distance(double x, double y) const { // negative inside
        double qx = std::abs(x - Cx) - (Hw - R), qy = std::abs(y - Cy) - (Hh - R);
        double ox = std::max(qx, 0.0), oy = std::max(qy, 0.0);
        return std::sqrt(ox * ox + oy * oy) + std::min(std::max(qx, qy), 0.0) - R;
    }
};

// Light comes from the upper left. facing is 1 on a slope whose outside normal points at the light.
Colour Light(Colour c, double facing, double amount) {
    double k = facing * amount;
    return k > 0 ? Mix(c, White, std::min(k, 1.0)) : Mix(c, Black, std::min(-k, 1.0));
}

// A bevelled plate: a dark rim, then a slope of `bevel` pixels lit by relief (negative: sunk), then the
// face with a vertical gradient. Outside the box: transparent.
Colour Plate(double x, double y, const Box& box, Colour top, Colour bottom, double bevel, double relief) {
    double d = box.Distance(x, y);
    if (d > 0)
        return Black;
    if (d > -1.0)
        return Rim;
    Colour c = Mix(top, bottom, Clamp01((y - box.Cy + box.Hh) / (2 * box.Hh)));
    if (d > -1.0 - bevel) {
        double gx = box.Distance(x + 0.01, y) - box.Distance(x - 0.01, y);
        double gy = box.Distance(x, y + 0.01) - box.Distance(x, y - 0.01);
        double length = std::sqrt(gx * gx + gy * gy);
        if (length > 0)
            c = Light(c, -(gx + gy) / length * 0.7071, relief * (1.0 - (-d - 1.0) / bevel));
    }
    return c;
}

double SegmentDistance(double x, double y, double ax, double ay, double bx, double by) {
    double dx = bx - ax, dy = by - ay;
    double t = Clamp01(((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy));
    double ex = x - ax - t * dx, ey = y - ay - t * dy;
    return std::sqrt(ex * ex + ey * ey);
}

// A left-pointing arrow, "back": a triangular head and a shaft.
bool InArrow(double x, double y) {
    bool head = x >= 7 && x <= 16 && std::abs(y - 16) <= (x - 7) * (8.0 / 9.0);
    bool shaft = x >= 15 && x <= 25 && std::abs(y - 16) <= 3.2;
    return head || shaft;
}

const Box ButtonBox{16, 16, 14.5, 14.5, 6};

Colour Button(double x, double y, bool pressed) {
    return pressed ? Plate(x, y, ButtonBox, {0.52, 0.57, 0.68}, {0.78, 0.82, 0.90}, 3, -0.8)
                   : Plate(x, y, ButtonBox, {0.97, 0.98, 1.00}, {0.68, 0.73, 0.83}, 3, 0.6);
}

Colour BackButton(double x, double y, bool pressed) {
    Colour c = Button(x, y, pressed);
    double shift = pressed ? 1.0 : 0.0; // the arrow sinks with the button
    if (InArrow(x - shift, y - shift))
        return Colour{0.10, 0.28, 0.70};
    if (InArrow(x - shift - 0.8, y - shift - 1.0)) // engraved: a bright lip on the lower right
        return Mix(c, White, 0.8);
    return c;
}

Colour Toggle(double x, double y, bool on) {
    const Box well{16, 16, 8.5, 8.5, 3};
    Colour c = Plate(x, y, ButtonBox, {0.95, 0.95, 0.95}, {0.68, 0.68, 0.70}, 3, 0.6);
    if (well.Distance(x, y) > 0)
        return c;
    if (!on)
        return Plate(x, y, well, {0.22, 0.22, 0.24}, {0.34, 0.34, 0.36}, 2, -0.5);
    c = Plate(x, y, well, {1.0, 1.0, 1.0}, {0.80, 0.80, 0.80}, 2, -0.4);
    double check = std::min(SegmentDistance(x, y, 11.5, 16.0, 14.8, 19.8), //
                            SegmentDistance(x, y, 14.8, 19.8, 20.8, 11.6));
    return check < 1.5 ? Colour{0.12, 0.12, 0.12} : c;
}

Colour TitleHandle(double x, double y) {
    Colour c = Plate(x, y, ButtonBox, {0.50, 0.70, 1.00}, {0.16, 0.34, 0.80}, 3, 0.6);
    for (int i = 0; i < 9; i++) { // a 3 x 3 grip of raised dots
        double dx = x - (10.0 + 6.0 * (i % 3)), dy = y - (10.0 + 6.0 * (i / 3));
        if (dx * dx + dy * dy < 1.8 * 1.8)
            return Light({0.55, 0.72, 1.0}, -(dx + dy) / 2.5, 0.8);
    }
    return c;
}

// A horizontal groove, the same in every column: the program stretches a vertical strip of it.
Colour SliderTrack(double, double y) {
    double d = std::abs(y - 16.0) - 9.0;
    if (d > 1.2)
        return Black;
    if (d > 0)
        return y > 16 ? Colour{0.85, 0.88, 0.94} : Black; // the lit lower lip
    if (d > -1.0)
        return Rim;
    double t = (y - 8.0) / 16.0; // sunk: shadowed under the upper edge, brighter towards the lower
    return Mix(Colour{0.30, 0.33, 0.40}, Colour{0.62, 0.66, 0.74}, Clamp01(t * 1.4));
}

Colour SliderKnob(double x, double y) {
    Colour c = Plate(x, y, Box{16, 16, 11, 15, 5}, {1.0, 1.0, 1.0}, {0.70, 0.74, 0.80}, 3, 0.6);
    if (y > 10 && y < 22)
        for (double ridge : {12.0, 16.0, 20.0}) { // three grip ridges
            if (x >= ridge - 1 && x < ridge)
                return Colour{0.35, 0.38, 0.45};
            if (x >= ridge && x < ridge + 1)
                return White;
        }
    return c;
}

template <class Shade> void DrawTile(Image& image, int column, int row, Shade shade) {
    for (int y = 0; y < 32; y++)
        for (int x = 0; x < 32; x++) {
            Colour sum{0, 0, 0};
            for (int j = 0; j < 4; j++)
                for (int i = 0; i < 4; i++)
                    sum = sum + shade(x + (i + 0.5) / 4.0, y + (j + 0.5) / 4.0);
            image.At(column * 32 + x, row * 32 + y) = ToRgb(sum * (1.0 / 16.0));
        }
}

// ---- Noise ----------------------------------------------------------------------------------------------

uint32_t Hash(uint32_t x, uint32_t y, uint32_t seed) {
    uint32_t h = x * 0x8DA6B343u ^ y * 0xD8163841u ^ seed * 0xCB1AB31Fu;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    h *= 0x297A2D39u;
    return h ^ (h >> 15);
}

double Lattice(int x, int y, uint32_t seed) {
    return double(Hash(uint32_t(x), uint32_t(y), seed) >> 8) / 16777216.0;
}

// Smoothly interpolated value noise in [0, 1) with lattice spacing `cell` pixels.
double ValueNoise(double x, double y, double cell, uint32_t seed) {
    x /= cell;
    y /= cell;
    int ix = int(std::floor(x)), iy = int(std::floor(y));
    double fx = x - ix, fy = y - iy;
    fx = fx * fx * (3 - 2 * fx);
    fy = fy * fy * (3 - 2 * fy);
    double top = Lattice(ix, iy, seed) * (1 - fx) + Lattice(ix + 1, iy, seed) * fx;
    double bottom = Lattice(ix, iy + 1, seed) * (1 - fx) + Lattice(ix + 1, iy + 1, seed) * fx;
    return top * (1 - fy) + bottom * fy;
}

// Sum of octaves of |noise - 0.5|, about 0 to 1.
double Turbulence(double x, double y, uint32_t seed) {
    double sum = 0, amplitude = 1.0;
    for (double cell = 32; cell >= 4; cell /= 2, amplitude /= 2)
        sum += std::abs(ValueNoise(x, y, cell, seed++) - 0.5) * amplitude;
    return sum;
}

} // namespace

Image MakeControls() {
    Image image(128, 128);
    // Image row 0 of tiles is the top row, v 0.75 to 1 in the program's texture coordinates.
    DrawTile(image, 0, 0, SliderTrack);
    DrawTile(image, 1, 0, SliderKnob);
    DrawTile(image, 2, 0, [](double x, double y) { return Toggle(x, y, false); });
    DrawTile(image, 3, 0, [](double x, double y) { return Toggle(x, y, true); });
    DrawTile(image, 0, 1, [](double x, double y) { return Button(x, y, false); });
    DrawTile(image, 1, 1, [](double x, double y) { return Button(x, y, true); });
    DrawTile(image, 2, 1, TitleHandle);
    DrawTile(image, 0, 2, [](double x, double y) { return BackButton(x, y, false); });
    DrawTile(image, 1, 2, [](double x, double y) { return BackButton(x, y, true); });
    return image;
}

// Brushed metal: noise smeared along x into long streaks, a slow sheen across the rows and a few
// scratches. Every filter wraps around, so the image tiles seamlessly.
Image MakeMetal() {
    const int n = 128;
    Random random(0x70B1);
    std::vector<double> a(n * n), b(n * n);
    for (double& v : a)
        v = random.Uniform();
    for (int pass = 0; pass < 2; pass++) { // two box blurs of 33 pixels along each row
        for (int y = 0; y < n; y++)
            for (int x = 0; x < n; x++) {
                double sum = 0;
                for (int k = -16; k <= 16; k++)
                    sum += a[y * n + (x + k + n) % n];
                b[y * n + x] = sum / 33.0;
            }
        a.swap(b);
    }
    double sheen[8]; // one value per 16 rows, cosine-like interpolation between them
    for (double& s : sheen)
        s = random.Signed();
    Image image(n, n);
    for (int y = 0; y < n; y++) {
        double f = (y % 16) / 16.0;
        f = f * f * (3 - 2 * f);
        double band = sheen[y / 16] * (1 - f) + sheen[(y / 16 + 1) % 8] * f;
        for (int x = 0; x < n; x++) {
            double streak = (a[y * n + x] - 0.5) * 0.5 + (a[((y + 1) % n) * n + x] - 0.5) * 0.25 +
                            (a[((y + n - 1) % n) * n + x] - 0.5) * 0.25;
            double v = 0.70 + streak * 1.6 + band * 0.05 + random.Signed() * 0.015;
            image.At(x, y) = ToRgb(Colour{v * 0.97, v * 0.99, v * 1.04});
        }
    }
    for (int i = 0; i < 40; i++) { // scratches, nearly horizontal
        int x0 = int(random.Next() % n), y0 = int(random.Next() % n), length = 16 + int(random.Next() % 64);
        double slope = random.Signed() * 0.06, shade = random.Uniform() < 0.5 ? 0.82 : 1.12;
        for (int k = 0; k < length; k++) {
            Rgb& p = image.At((x0 + k) % n, (y0 + int(std::floor(k * slope)) + n) % n);
            double fade = Sine(Pi * k / length); // thin at both ends
            double m = 1.0 + (shade - 1.0) * fade;
            p = ToRgb(Colour{p.R * m / 255.0, p.G * m / 255.0, p.B * m / 255.0});
        }
    }
    return image;
}

// Marble floor: a 4 x 4 checker of light and slate tiles of 64 pixels, 2 pixels of grout on each side of
// every joint (the image's edges run through the middle of the grout, so it tiles), bevelled edges.
Image MakeFloor() {
    const int n = 256, tile = 64;
    Random random(0xF1002);
    Image image(n, n);
    for (int y = 0; y < n; y++)
        for (int x = 0; x < n; x++) {
            int tx = x / tile, ty = y / tile, lx = x % tile, ly = y % tile;
            int edge = std::min(std::min(lx - 2, tile - 3 - lx), std::min(ly - 2, tile - 3 - ly));
            double grain = random.Signed();
            if (edge < 0) { // grout
                double g = 0.56 + grain * 0.04;
                image.At(x, y) = ToRgb(Colour{g, g * 0.97, g * 0.92});
                continue;
            }
            bool light = (tx + ty) % 2 == 0;
            uint32_t seed = uint32_t(ty * 4 + tx) * 16u;
            double angle = Lattice(tx, ty, 99) * Pi; // each tile's veins run their own way
            double along = lx * Sine(angle + Pi / 2) + ly * Sine(angle);
            double s = Sine(along * 0.11 + Turbulence(x, y, seed) * 4.5);
            double soft = (1.0 - std::abs(s)) * (1.0 - std::abs(s)), vein = soft * soft;
            vein *= vein; // (1 - |s|)^8: thin veins in a soft haze
            double cloud = ValueNoise(x, y, 24, seed + 8) - 0.5;
            Colour base = light ? Colour{0.93, 0.91, 0.87} : Colour{0.52, 0.57, 0.64};
            Colour veins = light ? Colour{0.58, 0.58, 0.62} : Colour{0.84, 0.86, 0.90};
            Colour c = Mix(base, veins, vein * 0.8 + soft * 0.15) + White * (cloud * 0.10 + grain * 0.012);
            if (edge < 2) { // bevel: lit on the upper and left edges, shaded on the lower and right
                bool lit = std::min(lx - 2, ly - 2) == edge;
                c = lit ? Mix(c, White, 0.35) : Mix(c, Black, 0.25);
            }
            image.At(x, y) = ToRgb(c);
        }
    return image;
}

} // namespace datagen
