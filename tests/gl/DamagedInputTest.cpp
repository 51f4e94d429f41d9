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

class DamagedInputTest : public ProgramTest {
protected:
    // The opening, a click, three globes and the open menu, a few frames each.
    void RunEveryScene() {
        FramesUntil(Fake.NowMs + 500, 250);
        OnMouse(ButtonLeft, ButtonDown, 0, 0);
        FrameAt(Fake.NowMs + 16);
        OnMouse(ButtonLeft, ButtonUp, 0, 0);
        Press('3');
        FramesUntil(Fake.NowMs + 500, 250);
        Press('`');
        FramesUntil(Fake.NowMs + 600, 250);
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    }
};

TEST_F(DamagedInputTest, ProgramDrawsWhateverThePreferencesFileHolds) {
    const Bytes nan = {0x00, 0x00, 0xC0, 0x7F}, huge = {0xFF, 0xFF, 0x7F, 0x7F}; // NaN, the largest float
    const struct {
        std::vector<PrefField> Ints; // every float word NaN or the largest float; the file cut to Length
        const Bytes* Floats;
        size_t Length;
    } rows[] = {{{{4, 1000}, {12, 99}, {16, 500}, {36, 7}, {40, 9}}, &nan, 184},
                {{{4, 0}, {12, -3}, {16, -5}, {36, -1}, {40, -4}}, &huge, 184},
                {{{4, INT_MAX}, {12, INT_MIN}, {16, INT_MAX}, {36, INT_MIN}, {40, INT_MAX}}, &huge, 200},
                {{{4, 75}, {12, 2}}, &nan, 100},
                {{}, &nan, 3}};
    for (const auto& r : rows) {
        SCOPED_TRACE(testing::Message()
                     << "fov " << (r.Ints.empty() ? 0 : r.Ints[0].Value) << ", " << r.Length << " bytes");
        Bytes file = PrefsRecord(r.Ints);
        for (size_t at = 72; at < 184; at += 4)
            std::copy(r.Floats->begin(), r.Floats->end(), file.begin() + at);
        file.resize(r.Length, 0x9B);
        WriteFile("Tovi.pref", file);
        StartProgram();
        // What the file holds is used as it is, but for floats that are no finite number.
        for (const PrefField& field : r.Ints)
            EXPECT_EQ(WordAt(RecordBytes(Settings), size_t(field.Offset)), uint32_t(int32_t(field.Value)))
                << field.Offset;
        EXPECT_EQ(Settings.ObjectSize, r.Floats == &nan ? 0.7f : FLT_MAX);
        RunEveryScene();
        for (unsigned char key : {',', '.', '<', '>', 'l', 'v', 'w', ']', '='})
            OnKeyboard(key, 0, 0);
        for (int key : {KeyPageUp, KeyF8, KeyF12})
            OnSpecial(key, 0, 0);
        EXPECT_TRUE(Settings.Fov >= 1 && Settings.Fov <= 179 && Settings.Letterbox >= 0 &&
                    Settings.Letterbox <= 6 && Settings.Tesselation >= 10 && Settings.Tesselation <= 80 &&
                    Settings.CameraMode >= 0 && Settings.CameraMode <= 2);
        EXPECT_TRUE(std::isfinite(Settings.ObjectSize) && std::isfinite(Settings.RotateSpeed) &&
                    std::isfinite(Settings.MainSpeed));
        RunEveryScene();
    }
}

TEST_F(DamagedInputTest, DamagedImagesAndSoundsLeaveTheTexturesEmptyAndEveryFrameDraws) {
    const Bytes image = BmpFile(BmpImage{}),
                sound = {'R', 'I', 'F', 'F', 0xF0, 0xFF, 0xFF, 0xFF, 'W', 'A', 'V', 'E'};
    const Bytes empty, folder, cutImage(image.begin(), image.begin() + 30),
        cutSound(sound.begin(), sound.begin() + 6);
    Bytes absurd = image; // a header that claims 2^31 - 1 pixels each way
    PutAt(absurd, 18, 0x7FFFFFFF);
    PutAt(absurd, 22, 0x7FFFFFFF);
    const struct {
        const char* What;
        const Bytes *Image, *Sound; // null: missing; &folder: a folder of the name
    } damages[] = {{"intact", &image, &sound},  {"missing", nullptr, nullptr},
                   {"empty", &empty, &empty},   {"cut short", &cutImage, &cutSound},
                   {"absurd", &absurd, &sound}, {"folders", &folder, &folder}};
    for (const auto& d : damages) {
        SCOPED_TRACE(d.What);
        for (const char* name :
             {"font_256.bmp", "metalplate128.bmp", "floor.bmp", "controls_128.bmp", "hit.wav", "WIND2.wav"}) {
            std::filesystem::remove_all(name);
            const Bytes* content = std::string(name).find(".bmp") != std::string::npos ? d.Image : d.Sound;
            content == &folder ? void(std::filesystem::create_directory(name))
            : content          ? WriteFile(name, *content)
                               : void();
        }
        StartProgram();
        for (const Texture* texture : {&FontTexture, &MetalTexture, &FloorTexture, &ControlsTexture})
            EXPECT_EQ(texture->Name == Texture::NoImage, d.Image != &image);
        PressSpecial(KeyInsert);
        EXPECT_EQ(std::make_tuple(Fake.Waves.front(), Fake.Waves.back()),
                  std::make_tuple("WIND2.wav", "hit.wav"));
        RunEveryScene();
        Press('?');
        FrameAt(Fake.NowMs + 16);
    }
}

} // namespace
