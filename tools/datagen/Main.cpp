// Tovi's data generator: writes every image and sound of data/ from code, plus one font Debian ships.
// The output is committed; regenerate it after changing this generator with
//     ninja -C build data
// and the test DataFiles.MatchTheirGenerator checks that data/ still holds exactly these bytes.
// Usage: tovi_datagen OUTPUT_FOLDER FONT_FILE   (FONT_FILE: DejaVuSansMono-Bold.ttf, fonts-dejavu-core)
#include "DataGen.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace datagen {

double Sine(double x) {
    // Reduce to [-pi, pi], then to [-pi/2, pi/2], then a Taylor series (error below 1e-15).
    x -= 2.0 * Pi * double(int64_t(x / (2.0 * Pi) + (x < 0 ? -0.5 : 0.5)));
    if (x > Pi / 2)
        x = Pi - x;
    else if (x < -Pi / 2)
        x = -Pi - x;
    double x2 = x * x, term = x, sum = x;
    for (int n = 1; n <= 11; n++) {
        term = -term * x2 / double((2 * n) * (2 * n + 1));
        sum += term;
    }
    return sum;
}

static void Put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}
static void Put32(std::vector<uint8_t>& out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}
// Byte by byte, like the numbers: g++ 12 at -O3 takes a range insert into a growing vector for an
// overflow (a false -Wstringop-overflow inside std::vector).
static void PutTag(std::vector<uint8_t>& out, const char* tag) {
    for (int i = 0; i < 4; i++)
        out.push_back(uint8_t(tag[i]));
}

std::vector<uint8_t> EncodeBmp(const Image& image) {
    // Rows need no padding when the width is a multiple of 4, which the program's loader requires anyway.
    uint32_t pixelBytes = uint32_t(image.Width) * uint32_t(image.Height) * 3;
    std::vector<uint8_t> out;
    out.push_back('B');
    out.push_back('M');
    Put32(out, 54 + pixelBytes); // file size
    Put32(out, 0);               // reserved
    Put32(out, 54);              // offset of the pixels
    Put32(out, 40);              // BITMAPINFOHEADER
    Put32(out, uint32_t(image.Width));
    Put32(out, uint32_t(image.Height)); // positive: bottom row first
    Put16(out, 1);                      // planes
    Put16(out, 24);                     // bits per pixel
    Put32(out, 0);                      // no compression
    Put32(out, pixelBytes);
    Put32(out, 2835); // 72 dpi
    Put32(out, 2835);
    Put32(out, 0); // no palette
    Put32(out, 0);
    for (int y = image.Height - 1; y >= 0; y--)
        for (int x = 0; x < image.Width; x++) {
            const Rgb& p = image.Pixels[size_t(y) * image.Width + x];
            out.push_back(p.B);
            out.push_back(p.G);
            out.push_back(p.R);
        }
    return out;
}

std::vector<uint8_t> EncodeWav(const std::vector<double>& samples, int rate) {
    uint32_t dataBytes = uint32_t(samples.size()) * 2;
    std::vector<uint8_t> out;
    PutTag(out, "RIFF");
    Put32(out, 36 + dataBytes);
    PutTag(out, "WAVE");
    PutTag(out, "fmt ");
    Put32(out, 16);
    Put16(out, 1); // PCM
    Put16(out, 1); // mono
    Put32(out, uint32_t(rate));
    Put32(out, uint32_t(rate) * 2); // bytes per second
    Put16(out, 2);                  // bytes per frame
    Put16(out, 16);                 // bits per sample
    PutTag(out, "data");
    Put32(out, dataBytes);
    for (double s : samples) {
        double scaled = s * 32767.0;
        int v = int(scaled < 0 ? scaled - 0.5 : scaled + 0.5);
        v = v < -32767 ? -32767 : (v > 32767 ? 32767 : v);
        Put16(out, uint16_t(int16_t(v)));
    }
    return out;
}

} // namespace datagen

static bool WriteFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    file.close();
    if (!file) {
        std::fprintf(stderr, "tovi_datagen: cannot write %s\n", path.string().c_str());
        return false;
    }
    return true;
}

int main(int argc, char** argv) {
    using namespace datagen;
    if (argc != 3) {
        std::fprintf(stderr, "usage: tovi_datagen OUTPUT_FOLDER FONT_FILE\n");
        return 2;
    }
    std::filesystem::path folder = argv[1];
    std::error_code ignored;
    std::filesystem::create_directories(folder, ignored);

    Image font(256, 256);
    std::string error;
    if (!MakeFont(argv[2], font, error)) {
        std::fprintf(stderr, "tovi_datagen: %s\n", error.c_str());
        return 1;
    }
    const int rate = 22050;
    bool ok = WriteFile(folder / "font_256.bmp", EncodeBmp(font)) &&
              WriteFile(folder / "controls_128.bmp", EncodeBmp(MakeControls())) &&
              WriteFile(folder / "metalplate128.bmp", EncodeBmp(MakeMetal())) &&
              WriteFile(folder / "floor.bmp", EncodeBmp(MakeFloor())) &&
              WriteFile(folder / "hit.wav", EncodeWav(MakeHit(rate), rate)) &&
              WriteFile(folder / "WIND2.wav", EncodeWav(MakeWind(rate), rate));
    return ok ? 0 : 1;
}
