// What really comes out of the sound device. SDL's "disk" driver writes every sample the player mixes into
// a raw file in the device's format (32-bit float, interleaved), paced like a sound card but faster; where
// a sound starts and ends is judged from the samples alone, never from how long anything took.

#include "platform/SdlWavePlayer.h"
#include "support/Bytes.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <malloc.h>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using support::Bytes;

// A step between neighbouring samples above this is an audible click: a 0.5 sine at 440 Hz moves at most
// about 0.03 per sample at 44.1 kHz, a 0.5 level fading out over 5 ms about 0.002.
constexpr float ClickStep = 0.05f;
constexpr float Audible = 0.001f; // sound, rather than the resampler's faint ringing around it

// A mono 16-bit sine at 22050 Hz (a rate no device runs at, so the player always converts), or a steady
// level when Frequency is 0, whose cut always jumps unless it fades. Its ends fade over 2 ms so that the
// file itself never clicks.
struct Tone {
    double Frequency = 440, Amplitude = 0.5, Seconds = 0.2;
};
const Tone Level{0, 0.5, 8.0};

Bytes WavFile(const Tone& tone) {
    const int frames = int(tone.Seconds * 22050);
    Bytes bytes(44 + 2 * std::size_t(frames));
    const char* header = "RIFF....WAVEfmt \x10\0\0\0\x01\0\x01\0\x22\x56\0\0\x44\xac\0\0\x02\0\x10\0data";
    std::copy(header, header + 40, bytes.begin());
    support::PutAt(bytes, 4, 36 + 2 * frames);
    support::PutAt(bytes, 40, 2 * frames);
    for (int i = 0; i < frames; ++i) {
        const double gain = std::min({1.0, (frames - 1 - i) / 44.1, tone.Frequency > 0 ? 1.0 : i / 44.1});
        const double wave = tone.Frequency > 0 ? std::sin(2 * M_PI * tone.Frequency * i / 22050) : 1.0;
        support::PutAt(bytes, 44 + 2 * std::size_t(i),
                       uint32_t(std::lround(tone.Amplitude * gain * wave * 32767)), 2);
    }
    return bytes;
}

class SdlWavePlayerTest : public ::testing::Test {
protected:
    // The player closes itself when it goes; the audio thread would otherwise mix from a freed player.
    ~SdlWavePlayerTest() override { unsetenv("SDL_AUDIODRIVER"); }

    std::string Wav(const std::string& name, const Tone& tone) {
        support::WriteFile(name, WavFile(tone));
        return Scratch.Path() / name;
    }

    // Opens the player on the disk driver with a steady level playing for a while.
    void OpenPlayingLevel() {
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", "device.raw", 1);
        setenv("SDL_DISKAUDIODELAY", "2", 1);
        ASSERT_TRUE(Player.Open());
        ASSERT_GE(Player.Channels(), 2);
        Player.Play(Wav("level.wav", Level).c_str());
        PlayOn(0.1);
    }

    long Frames() const {
        std::error_code missing;
        const auto bytes = std::filesystem::file_size("device.raw", missing);
        return missing ? 0 : long(bytes / 4 / Player.Channels());
    }

    // Lets the device play on for `seconds` of its own time; gives up after ten seconds of the clock's.
    void PlayOn(double seconds) {
        const long target = Frames() + long(seconds * Player.SampleRate());
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (Frames() < target && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        ASSERT_GE(Frames(), target) << "the device stopped playing";
    }

    // Closes the player; the first channel of all the device wrote, every other channel being the same.
    std::vector<float> CloseAndRead() {
        const int channels = Player.Channels();
        Rate = Player.SampleRate();
        Player.Close();
        const Bytes bytes = support::ReadFile("device.raw");
        std::vector<float> all(bytes.size() / 4), first;
        std::memcpy(all.data(), bytes.data(), 4 * all.size());
        for (std::size_t at = 0; at + channels <= all.size(); at += channels) {
            first.push_back(all[at]);
            EXPECT_EQ(std::count(&all[at], &all[at] + channels, all[at]), channels) << "the channels differ";
        }
        return first;
    }

    // The tone was heard from `first` on, in full, at its pitch and loudness, and nothing after it until
    // `end`; and no step of the whole output clicked.
    void ExpectTone(const std::vector<float>& out, long first, const Tone& tone, long end = LONG_MAX) const {
        long last = std::min(end, long(out.size()));
        while (last > first && std::fabs(out[last - 1]) <= Audible)
            --last;
        EXPECT_NEAR(last - first, tone.Seconds * Rate, 0.01 * tone.Seconds * Rate + 32);
        std::vector<long> rises; // rising zero crossings, a cycle apart
        float peak = 0, step = 0;
        for (long i = 1; i < long(out.size()); ++i) {
            if (i > first + Rate / 100 && i < last) { // past a sound fading out under its start
                peak = std::max(peak, std::fabs(out[i]));
                if (out[i - 1] < 0 && out[i] >= 0)
                    rises.push_back(i);
            }
            step = std::max(step, std::fabs(out[i] - out[i - 1]));
        }
        ASSERT_GT(rises.size(), 2u);
        EXPECT_NEAR((rises.size() - 1.0) * Rate / double(rises.back() - rises.front()), tone.Frequency,
                    0.03 * tone.Frequency);
        EXPECT_NEAR(peak, tone.Amplitude, 0.03);
        EXPECT_LT(step, ClickStep);
    }

    support::ScratchFolder Scratch;
    SdlWavePlayer Player;
    int Rate = 0;
};

// Where the first stretch of the steady level ends.
long LevelEnd(const std::vector<float>& out) {
    const auto atLevel = [](float s) { return std::fabs(s - Level.Amplitude) <= 0.002f; };
    return std::find_if_not(std::find_if(out.begin(), out.end(), atLevel), out.end(), atLevel) - out.begin();
}

TEST_F(SdlWavePlayerTest, ANewSoundStartsAtOnceAndTheOldOneFadesOutWithoutAClick) {
    const Tone tone;
    ASSERT_NO_FATAL_FAILURE(OpenPlayingLevel());
    Player.Play(Wav("tone.wav", tone).c_str());
    PlayOn(tone.Seconds + 0.1);
    const std::vector<float> out = CloseAndRead();
    const long cut = LevelEnd(out);
    ExpectTone(out, cut, tone); // from the cut on: it did not wait for the old sound's fade
    // A few milliseconds on, the old sound is gone: the sine alone averages to nothing.
    double sum = 0;
    for (long i = cut + Rate / 100; i < cut + long(tone.Seconds * Rate); ++i)
        sum += out[i];
    EXPECT_NEAR(sum / (tone.Seconds * Rate), 0.0, 0.01) << "the old sound is still mixed in";
}

TEST_F(SdlWavePlayerTest, UnplayableFilesGiveSilenceAndAFullTableKeepsTheSoundPlaying) {
    mallopt(M_MMAP_THRESHOLD, 64 * 1024); // freed samples go back to the system: a read after free crashes
    Bytes huge = WavFile(Tone()), garbage = huge, truncated = huge;
    huge.resize(44);
    support::PutAt(huge, 40, 0xfffffff0u); // gigabytes of samples claimed, none there
    std::fill(garbage.begin() + 16, garbage.end(), 0x9b);
    truncated.resize(30);
    std::vector<std::string> files = {"missing.wav", Scratch.Path()};
    for (const auto& [name, bytes] : {std::pair{"huge.wav", huge},
                                      {"garbage.wav", garbage},
                                      {"truncated.wav", truncated},
                                      {"empty.wav", Bytes()}}) {
        support::WriteFile(name, bytes);
        files.push_back(name);
    }
    // With the level and the tone, the table of decoded files is full.
    while (files.size() < SdlWavePlayer::CacheSize - 2)
        files.push_back("missing" + std::to_string(files.size()) + ".wav");
    files.insert(files.end(), {"", std::string(300, 'x')}); // no file at all, and a path too long to keep

    ASSERT_NO_FATAL_FAILURE(OpenPlayingLevel());
    Player.Play(nullptr);
    for (int round = 0; round < 2; ++round) // the second time round as files known to be silent
        for (const std::string& bad : files) {
            Player.Play(bad.c_str());
            PlayOn(0.01);
        }
    const Tone tone{330, 0.5, 0.1};
    const long from = Frames();
    Player.Play(Wav("tone.wav", tone).c_str());
    PlayOn(tone.Seconds + 0.1);
    // The level again, cut off at once by one file more than the table holds: the slot it takes must not be
    // the level's, whose samples are still fading out, though the level's is the oldest.
    const long again = Frames();
    Player.Play((Scratch.Path() / "level.wav").c_str());
    Player.Play(Wav("extra.wav", tone).c_str());
    PlayOn(tone.Seconds + 0.1);
    const std::vector<float> out = CloseAndRead();
    const long quiet = LevelEnd(out) + Rate / 100;
    ASSERT_LT(quiet, from);
    EXPECT_TRUE(std::all_of(out.begin() + quiet, out.begin() + from, [](float s) { return s == 0.0f; }))
        << "an unplayable file made a sound or left the old one playing";
    long first = from;
    while (first < again && std::fabs(out[first]) <= Audible)
        ++first;
    ExpectTone(out, first, tone, again);
}

TEST_F(SdlWavePlayerTest, ClosedOrWithoutADeviceItPlaysNothingAndPrintsNothing) {
    const std::string path = Wav("tone.wav", Tone());
    Player.Play(path.c_str()); // never opened
    Player.Close();
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    ASSERT_TRUE(Player.Open());
    EXPECT_TRUE(Player.Open()) << "opening an open player keeps it open";
    Player.Close();
    Player.Close();
    Player.Play(path.c_str());
    EXPECT_EQ(std::make_pair(Player.SampleRate(), Player.Channels()), std::make_pair(0, 0));

    // "alsa" on a machine without a sound card is where ALSA itself would print; where there is a card it
    // may open, and must still print nothing.
    for (const char* driver : {"no-such-driver", "alsa"}) {
        setenv("SDL_AUDIODRIVER", driver, 1);
        std::fflush(stderr);
        const int saved = dup(STDERR_FILENO);
        std::FILE* capture = std::fopen("stderr.txt", "w");
        dup2(fileno(capture), STDERR_FILENO);
        const bool opened = Player.Open();
        Player.Play(path.c_str());
        Player.Close();
        std::fflush(stderr);
        dup2(saved, STDERR_FILENO);
        close(saved);
        std::fclose(capture);
        EXPECT_FALSE(opened && driver[0] == 'n');
        EXPECT_EQ(support::ReadFile("stderr.txt").size(), 0u) << driver << " printed to stderr";
    }
}

} // namespace
