// The program started on damaged input: preferences files of every length and with values far out of
// range, keys held down for minutes, and image and sound files that are missing, empty, cut short, absurd
// or directories. It must start, draw the logo, the globes and the menu without an OpenGL error, and let
// the keys bring every value back.

#include "app/KeyboardControls.h"
#include "app/PointerControls.h"
#include "render/InputState.h"
#include "render/Texture.h"
#include "scene/Logo.h"
#include "support/Bytes.h"
#include "support/GlTestFixture.h"
#include "ui/DialogStack.h"

#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace {

using namespace gltest;
using namespace support;
using S = SettingsStore;

constexpr int FirstFloatWord = 18;

class DamagedInputTest : public ProgramTest {
protected:
    // A fresh start in the scratch folder as it now stands, with the opening's logo back and no image
    // loaded yet.
    void Restart() {
        for (Texture* texture : {&FontTexture, &MetalTexture, &FloorTexture, &ControlsTexture})
            *texture = Texture();
        StartProgram();
    }

    // The opening, a click, the three globes and the open menu, a few frames each.
    void RunEveryScene(int stepMs = 250) {
        FramesUntil(Fake.NowMs + 500, stepMs);
        Mouse.Button(ButtonLeft, ButtonDown);
        FrameAt(Fake.NowMs + 16);
        Mouse.Button(ButtonLeft, ButtonUp);
        GlobeCount = 3;
        FramesUntil(Fake.NowMs + 500, stepMs);
        OnKeyboard('`', 0, 0);
        FramesUntil(Fake.NowMs + 600, stepMs);
        OnKeyboard('`', 0, 0);
        FrameAt(Fake.NowMs + 16);
    }

    testing::AssertionResult NoGlError() const {
        const GLenum error = glGetError();
        if (error != GL_NO_ERROR || GlErrorCount != 0)
            return testing::AssertionFailure() << "GL error " << error << ", " << GlErrorCount << " counted";
        return testing::AssertionSuccess();
    }
};

// A file of n bytes replaces the first n bytes of the defaults the start-up has just set, except float
// words that are not finite numbers; bytes past the 184th are ignored. Whatever that leaves, the program
// draws.
TEST_F(DamagedInputTest, PreferencesFileOfEveryLengthLoadsItsBytesAndDraws) {
    SettingsStore valid;
    valid.Fov = 75, valid.Letterbox = 2, valid.Tesselation = 64, valid.PolygonMode = 1, valid.CameraMode = 2;
    valid.Universe = 0, valid.SavedN = 9, valid.ObjectSize = 1.25f, valid.FadeEffect = 0.75f;
    valid.Cutoff = 45.0f, valid.Exponent = 2.5f;
    Bytes record = RecordBytes(valid);
    record.resize(200, 0x9B);

    // Random words, with the float words taking turns at NaN, infinity, the largest float and noise.
    std::mt19937 random(1234);
    Bytes garbage(200);
    for (unsigned char& byte : garbage)
        byte = static_cast<unsigned char>(random());
    const uint32_t specials[] = {0x7FC00000u, 0xFF800000u, 0x7F7FFFFFu, 0x7F800000u, 0xFFFFFFFFu};
    for (int word = FirstFloatWord; word < S::WordCount; word += 2)
        PutAt(garbage, 4 * word, specials[word / 2 % 5]);

    const Bytes defaults = RecordBytes(SettingsStore());
    for (const Bytes* source : {&record, &garbage})
        for (size_t length = 0; length <= source->size(); ++length) {
            SCOPED_TRACE(testing::Message()
                         << (source == &record ? "record" : "garbage") << ", " << length << " bytes");
            WriteFile("Tovi.pref", Bytes(source->begin(), source->begin() + length));
            Restart();

            Bytes expected = defaults;
            std::copy_n(source->begin(), std::min(length, expected.size()), expected.begin());
            for (int word = FirstFloatWord; word < S::WordCount; ++word)
                if (!std::isfinite(FloatAt(expected, 4 * word)))
                    std::copy_n(defaults.begin() + 4 * word, 4, expected.begin() + 4 * word);
            const Bytes loaded = RecordBytes(Settings);
            ASSERT_TRUE(std::equal(loaded.begin() + 4, loaded.end(), expected.begin() + 4));
            EXPECT_EQ(MainCamera.Fov, float(Settings.Fov));

            FrameAt(16);
            Mouse.Button(ButtonLeft, ButtonDown);
            FrameAt(32);
            FrameAt(48);
            ASSERT_TRUE(NoGlError());
        }
}

// Values far out of range are used as they are, and the keys and the menu rows bring them back.
TEST_F(DamagedInputTest, OutOfRangeValuesDrawAndTheControlsBringThemBack) {
    const auto everyInt = [](S& s, int value) {
        for (int* field :
             {&s.Fov, &s.FullScreen, &s.Letterbox, &s.Tesselation, &s.Universe, &s.ScreenClear, &s.SpotLights,
              &s.Textures, &s.PolygonMode, &s.CameraMode, &s.OptionIndex, &s.ImageOptionIndex, &s.FpsClock,
              &s.ReservedInt, &s.DepthCueFog, &s.SavedN, &s.SavedN2})
            *field = value;
    };
    const auto everyFloat = [](Bytes& bytes, uint32_t bits) {
        for (int word = FirstFloatWord; word < S::WordCount; ++word)
            PutAt(bytes, 4 * word, bits);
    };
    const struct {
        const char* What;
        std::function<void(S&)> Ints;
        uint32_t FloatBits; // 0: the record's own floats
    } rows[] = {
        {"500, 99, 1000, 7, 9 and NaN",
         [](S& s) {
             s.Tesselation = 500, s.Letterbox = 99, s.Fov = 1000, s.PolygonMode = 7, s.CameraMode = 9;
         },
         0x7FC00000u},
        {"-3, 0 and infinity", [](S& s) { s.Letterbox = -3, s.Fov = 0; }, 0x7F800000u},
        {"INT_MAX and -infinity", [&](S& s) { everyInt(s, INT_MAX); }, 0xFF800000u},
        {"INT_MIN and the largest float", [&](S& s) { everyInt(s, INT_MIN); }, 0x7F7FFFFFu},
        {"-1 and the most negative float", [&](S& s) { everyInt(s, -1); }, 0xFF7FFFFFu},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.What);
        S damaged;
        row.Ints(damaged);
        Bytes bytes = RecordBytes(damaged);
        everyFloat(bytes, row.FloatBits);
        WriteFile("Tovi.pref", bytes);
        Restart();
        const auto ranged = [](const S& s) {
            return std::make_tuple(s.Tesselation, s.Letterbox, s.Fov, s.PolygonMode, s.CameraMode);
        };
        EXPECT_EQ(ranged(Settings), ranged(damaged));
        const Bytes loaded = RecordBytes(Settings);
        for (int word = FirstFloatWord; word < S::WordCount; ++word)
            EXPECT_TRUE(std::isfinite(FloatAt(loaded, 4 * word))) << "word " << word;

        RunEveryScene();
        ASSERT_TRUE(NoGlError());

        // Each bounded value has a key towards its range from either side; the toggles switch to 0 or 1.
        for (unsigned char key : {',', '.', '<', '>', 'l', 'v', 'w', 's', 't', 'u', 'c', 'd'})
            OnKeyboard(key, 0, 0);
        EXPECT_TRUE(Settings.Fov >= 1 && Settings.Fov <= 179) << Settings.Fov;
        EXPECT_TRUE(MainCamera.Fov >= 1.0f && MainCamera.Fov <= 179.0f) << MainCamera.Fov;
        EXPECT_TRUE(Settings.Letterbox >= 0 && Settings.Letterbox <= 6) << Settings.Letterbox;
        EXPECT_TRUE(Settings.Tesselation >= 10 && Settings.Tesselation <= 80) << Settings.Tesselation;
        EXPECT_TRUE(Settings.CameraMode >= 0 && Settings.CameraMode <= 2) << Settings.CameraMode;
        for (int flag : {Settings.SpotLights, Settings.Textures, Settings.Universe, Settings.FpsClock,
                         Settings.DepthCueFog})
            EXPECT_TRUE(flag == 0 || flag == 1) << flag;

        // The menu's rows set whole values within their sliders, also the polygon mode, which the key
        // only steps up from a negative one.
        Dialogs.BuildMenu(StandardMenu, 1);
        for (const auto& [id, value] : {std::pair{51, 60.0f}, std::pair{58, 2.0f}, std::pair{59, 3.0f}}) {
            Dialogs.ActivatedId = id, Dialogs.ActivatedValue = value;
            Dialogs.DoAction();
        }
        EXPECT_EQ(std::make_tuple(Settings.Fov, MainCamera.Fov, Settings.PolygonMode, Settings.Letterbox),
                  std::make_tuple(60, 60.0f, 2, 3));
        RunEveryScene();
        ASSERT_TRUE(NoGlError());
    }
}

// Keys held for minutes carry a value up to the largest float or down towards 0 and never past; a size or
// speed brought to 0 stays there. With every one of these values at its largest, the program still draws.
TEST_F(DamagedInputTest, MultiplyingKeysHeldForMinutesStayFiniteAndKeepZero) {
    const struct {
        int Key, Special; // Special: a special key, Key a character otherwise
        float S::*Field;
        bool Up;
    } keys[] = {{'(', 0, &S::LightRotateSpeed, false}, {')', 0, &S::LightRotateSpeed, true},
                {'-', 0, &S::RotateSpeed, false},      {'=', 0, &S::RotateSpeed, true},
                {'_', 0, &S::MoveSpeed, false},        {'+', 0, &S::MoveSpeed, true},
                {'[', 0, &S::ObjectSize, false},       {']', 0, &S::ObjectSize, true},
                {KeyPageUp, 1, &S::MainSpeed, true},   {KeyHome, 1, &S::ArcThickness, true},
                {KeyF2, 1, &S::MotionDamping, true},   {KeyF4, 1, &S::TextureMagnification, true},
                {KeyF10, 1, &S::BumpResponse, true}};
    for (const auto& k : keys) {
        SCOPED_TRACE(testing::Message() << "key " << k.Key << (k.Special ? " (special)" : ""));
        const auto hold = [&k](int presses) {
            for (int press = 0; press < presses; ++press)
                k.Special ? OnSpecial(k.Key, 0, 0) : OnKeyboard(static_cast<unsigned char>(k.Key), 0, 0);
            if (k.Special)
                OnSpecialUp(k.Key, 0, 0);
        };
        Settings.*k.Field = 0.0f;
        hold(1);
        EXPECT_EQ(Settings.*k.Field, 0.0f);
        for (const float start : {1.0f, FLT_MAX * 0.95f}) {
            Settings.*k.Field = start;
            hold(5000);
            const float held = Settings.*k.Field;
            EXPECT_TRUE(std::isfinite(held)) << start;
            EXPECT_TRUE(k.Up ? held >= start && held > FLT_MAX / 1.1f : held < start)
                << start << ": " << held;
        }
    }
    RunEveryScene(100);
    EXPECT_TRUE(NoGlError());
}

// The program's images and sounds damaged in every way at once: every image texture stays empty, sounds
// are still asked for by name, and every scene draws.
TEST_F(DamagedInputTest, DamagedDataFilesLeaveTheTexturesEmptyAndEveryFrameDraws) {
    // An 8 x 8 grey 24-bit image; the damaged files are made from it.
    Bytes bmp(54 + 8 * 8 * 3, 0x80);
    const uint32_t header[] = {0, 0, 54, 40, 8, 8, 1 | 24 << 16, 0, 8 * 8 * 3, 0, 0, 0, 0};
    std::memcpy(bmp.data() + 2, header, sizeof header);
    bmp[0] = 'B', bmp[1] = 'M';
    Bytes huge(bmp.begin(), bmp.begin() + 54);
    PutAt(huge, 18, 0x7FFFFFFF); // width
    PutAt(huge, 22, 0x7FFFFFFF); // height
    const Bytes wave = {'R', 'I', 'F', 'F', 0xF0, 0xFF, 0xFF, 0xFF, 'W', 'A', 'V', 'E'};

    const Texture* textures[] = {&FontTexture, &MetalTexture, &FloorTexture, &ControlsTexture};
    const char* files[] = {"font_256.bmp",     "metalplate128.bmp", "floor.bmp", // as the textures
                           "controls_128.bmp", "hit.wav",           "WIND2.wav"};
    // What the images and the sounds hold for each damage: null when missing, &folder for a directory.
    const Bytes none, folder, brokenBmp(bmp.begin(), bmp.begin() + 30),
        brokenWave(wave.begin(), wave.begin() + 6);
    const struct {
        const char* What;
        const Bytes *Image, *Sound;
    } damages[] = {{"intact", &bmp, &wave}, {"missing", nullptr, nullptr},
                   {"empty", &none, &none}, {"truncated", &brokenBmp, &brokenWave},
                   {"huge", &huge, &wave},  {"directory", &folder, &folder}};
    for (const auto& damage : damages) {
        SCOPED_TRACE(damage.What);
        for (const char* name : files) {
            std::filesystem::remove_all(name);
            const Bytes* content = std::strstr(name, ".bmp") ? damage.Image : damage.Sound;
            if (content == &folder)
                std::filesystem::create_directory(name);
            else if (content)
                WriteFile(name, *content);
        }
        Restart();
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(textures[i]->Name == Texture::NoImage, damage.Image != &bmp) << files[i];
        ASSERT_FALSE(Fake.Waves.empty());
        EXPECT_EQ(std::filesystem::path(Fake.Waves.front()).filename(), "WIND2.wav");
        OnSpecial(KeyInsert, 0, 0);
        EXPECT_EQ(std::filesystem::path(Fake.Waves.back()).filename(), "hit.wav");

        RunEveryScene();
        OnKeyboard('?', 0, 0);
        FrameAt(Fake.NowMs + 16);
        OnKeyboard('?', 0, 0);
        ASSERT_TRUE(NoGlError());
    }
}

} // namespace
