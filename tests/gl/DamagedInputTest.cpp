// The program started on damaged input: preferences files short, long or far out of range, and images and
// sounds missing, empty, cut short, absurd or folders. It starts, draws the logo, the globes and the menu
// without an OpenGL error, and the keys bring every value back into range.

#include "support/GlTestFixture.h"

#include <cfloat>
#include <climits>
#include <cmath>
#include <filesystem>

namespace {

using namespace gltest;
using namespace support;
using DamagedInputTest = ProgramTest;

TEST_F(DamagedInputTest, ProgramStartsAndDrawsWhateverItsFilesHold) {
    const Bytes image = BmpFile(BmpImage{});
    const Bytes sound = {'R', 'I', 'F', 'F', 0xF0, 0xFF, 0xFF, 0xFF, 'W', 'A', 'V', 'E'};
    Bytes absurd = image; // a header that claims 2^31 - 1 pixels each way
    PutAt(absurd, 18, 0x7FFFFFFF);
    PutAt(absurd, 22, 0x7FFFFFFF);
    const Bytes cutImage(image.begin(), image.begin() + 30);
    const Bytes cutSound(sound.begin(), sound.begin() + 6);
    const struct {
        std::vector<PrefField> Ints; // every float word the largest float, or NaN (FloatBits 0x7FC00000)
        uint32_t FloatBits;
        size_t Length;              // of the preferences file
        const Bytes *Image, *Sound; // of every image and sound: null for a folder of the name
    } rows[] = {
        {{{4, 1000}, {12, 99}, {16, 500}, {36, 7}, {40, 9}}, 0x7FC00000, 184, &image, &sound},
        {{{4, INT_MAX}, {12, INT_MIN}, {16, INT_MAX}, {36, INT_MIN}, {40, INT_MAX}},
         0x7F7FFFFF,
         200,
         &absurd,
         &cutSound},
        {{{4, 0}, {12, -3}, {16, -5}, {36, -1}, {40, -4}}, 0x7F7FFFFF, 100, &cutImage, nullptr},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(testing::Message() << "row " << &r - rows);
        Bytes file = PrefsRecord(r.Ints);
        for (size_t at = 72; at < 184; at += 4)
            PutAt(file, at, r.FloatBits);
        file.resize(r.Length, 0x9B);
        WriteFile("Tovi.pref", file);
        for (const char* name :
             {"font_256.bmp", "metalplate128.bmp", "floor.bmp", "controls_128.bmp", "hit.wav", "WIND2.wav"}) {
            const Bytes* content = std::string(name).find(".bmp") != std::string::npos ? r.Image : r.Sound;
            std::filesystem::remove_all(name);
            if (content)
                WriteFile(name, *content);
            else
                std::filesystem::create_directory(name);
        }
        StartProgram();
        // Ints are used as the file holds them; a float that is no finite number keeps its default.
        for (const PrefField& field : r.Ints)
            EXPECT_EQ(WordAt(RecordBytes(Settings), size_t(field.Offset)), uint32_t(int32_t(field.Value)))
                << field.Offset;
        EXPECT_EQ(Settings.ObjectSize, r.Length >= 88 && r.FloatBits == 0x7F7FFFFF ? FLT_MAX : 0.7f);
        for (const Texture* texture : {&FontTexture, &MetalTexture, &FloorTexture, &ControlsTexture})
            EXPECT_EQ(texture->Name == Texture::NoImage, r.Image != &image);

        // The opening, a click, three globes, the open menu and the help, then each bounded value's keys.
        for (char key : {'\0', '3', '`', '?', '\0', ',', '.', '<', '>', 'l', 'v', ']', '='}) {
            FramesUntil(Fake.NowMs + 250, 125);
            if (key)
                Press(key);
            else
                OnMouse(ButtonLeft, ButtonDown, 0, 0);
        }
        Press(Special + KeyPageUp);
        FrameAt(Fake.NowMs + 125);
        EXPECT_TRUE(Settings.Fov >= 1 && Settings.Fov <= 179 && Settings.Letterbox >= 0 &&
                    Settings.Letterbox <= 6 && Settings.Tesselation >= 10 && Settings.Tesselation <= 80 &&
                    Settings.CameraMode >= 0 && Settings.CameraMode <= 2);
        EXPECT_TRUE(std::isfinite(Settings.ObjectSize) && std::isfinite(Settings.RotateSpeed) &&
                    std::isfinite(Settings.MainSpeed));
    }
}

} // namespace
