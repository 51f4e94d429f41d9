// The pieces shared by the data generator's parts: images, a seeded random source, exact maths, writers.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace datagen {

struct Rgb {
    uint8_t R, G, B;
};

// An image as one looks at it: row 0 is the top row. EncodeBmp stores it bottom-up.
struct Image {
    int Width, Height;
    std::vector<Rgb> Pixels;
    Image(int width, int height)
        : Width(width), Height(height), Pixels(size_t(width) * height, Rgb{0, 0, 0}) {}
    Rgb& At(int x, int y) { return Pixels[size_t(y) * Width + x]; }
};

// SplitMix64: a fixed-seed integer generator, the same numbers on every compiler and library.
class Random {
public:
    explicit Random(uint64_t seed) : State(seed) {}
    uint64_t Next() {
        uint64_t z = (State += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    double Uniform() { return double(Next() >> 11) * (1.0 / 9007199254740992.0); } // [0, 1)
    double Signed() { return Uniform() * 2.0 - 1.0; }                              // [-1, 1)

private:
    uint64_t State;
};

// Only exactly rounded operations (+ - * / sqrt floor abs) touch floating point: no libm transcendentals,
// no fused multiply-add, so g++ and clang++ builds compute the same bits.
constexpr double Pi = 3.14159265358979323846;
double Sine(double radians);
inline double Clamp01(double v) {
    return v < 0.0 ? 0.0 : (v > 1.0 ? 1.0 : v);
}
inline uint8_t ToByte(double v) {
    return uint8_t(int(Clamp01(v) * 255.0 + 0.5));
}

std::vector<uint8_t> EncodeBmp(const Image& image);                           // 24-bit, 54-byte header
std::vector<uint8_t> EncodeWav(const std::vector<double>& samples, int rate); // 16-bit mono PCM

bool MakeFont(const std::string& fontFile, Image& font, std::string& error); // font_256.bmp
Image MakeControls();                                                        // controls_128.bmp
Image MakeMetal();                                                           // metalplate128.bmp
Image MakeFloor();                                                           // floor.bmp
std::vector<double> MakeHit(int rate);                                       // hit.wav
std::vector<double> MakeWind(int rate);                                      // WIND2.wav

} // namespace datagen
