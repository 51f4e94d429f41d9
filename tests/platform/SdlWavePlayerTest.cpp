#include "platform/SdlWavePlayer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <malloc.h>
#include <numeric>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

// These tests listen to what really comes out of the audio device. SDL's "disk" driver writes every sample
// the player mixes into a raw file, in the device's format (32-bit float, interleaved), paced like a sound
// card but faster. Sound positions are judged from the samples alone, never from how long anything took.

namespace {

// Any step between neighbouring samples above this is an audible click. A 0.5 sine at 440 Hz moves at most
// about 0.03 per sample at 44.1 kHz, and a 0.5 level fading out over 5 ms about 0.002.
constexpr float ClickStep = 0.05f;

// What counts as sound rather than the resampler's faint ringing around it.
constexpr float Audible = 0.001f;

// Every file is mono at a rate no device runs at, so the player always converts it.
constexpr int FileRate = 22050;

// A sine, or a constant level when Frequency is 0: a cut of a level that does not fade always jumps.
struct Tone {
    double Frequency = 440;
    double Amplitude = 0.5;
    double Seconds = 0.2;
};

// A long steady level, so a cut lands at full loudness wherever it falls.
const Tone Level{0, 0.5, 8.0};

// A mono 16-bit PCM .wav, written for a little-endian machine. Its ends fade over 2 ms so that the file
// itself never clicks; a sine needs no fade in, so its first frame is where it begins.
std::string WavBytes(const Tone& tone) {
    // RIFF and its size; WAVE; a 16-byte format chunk: PCM, one channel, 22050 frames and 44100 bytes a
    // second, 2-byte frames of 16 bits; data and its size.
    static_assert(FileRate == 22050, "the rate is written into the header");
    std::string bytes("RIFF....WAVEfmt \x10\0\0\0\x01\0\x01\0\x22\x56\0\0\x44\xac\0\0\x02\0\x10\0data....",
                      44);
    std::vector<int16_t> samples(static_cast<size_t>(tone.Seconds * FileRate));
    const double ramp = 0.002 * FileRate, last = samples.size() - 1.0;
    for (size_t i = 0; i < samples.size(); ++i) {
        const double gain = std::min({1.0, (last - i) / ramp, tone.Frequency > 0 ? 1.0 : i / ramp});
        const double wave = tone.Frequency > 0 ? std::sin(2 * M_PI * tone.Frequency * i / FileRate) : 1.0;
        samples[i] = static_cast<int16_t>(std::lround(tone.Amplitude * gain * wave * 32767));
    }
    const uint32_t sizes[] = {static_cast<uint32_t>(36 + samples.size() * 2),
                              static_cast<uint32_t>(samples.size() * 2)};
    std::memcpy(&bytes[4], &sizes[0], 4);
    std::memcpy(&bytes[40], &sizes[1], 4);
    return bytes + std::string(reinterpret_cast<const char*>(samples.data()), sizes[1]);
}

long FileSize(const std::string& path) {
    return std::max<long>(0, std::ifstream(path, std::ios::binary | std::ios::ate).tellg());
}

// The whole samples written so far; a sample still half-written is left out.
std::vector<float> ReadSamples(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    std::vector<float> samples(bytes.size() / sizeof(float));
    std::memcpy(samples.data(), bytes.data(), samples.size() * sizeof(float));
    return samples;
}

// The first and one past the last audible frame in a range; First == Last when there is none.
struct Span {
    long First = 0;
    long Last = 0;
    long Length() const { return Last - First; }
};

Span AudibleSpan(const std::vector<float>& samples, long from, long to = LONG_MAX) {
    const auto loud = [](float s) { return std::fabs(s) > Audible; };
    const auto end = samples.begin() + std::min<long>(to, samples.size());
    const auto first = std::find_if(samples.begin() + from, end, loud);
    const auto last = std::find_if(std::make_reverse_iterator(end), std::make_reverse_iterator(first), loud);
    return Span{first - samples.begin(), last.base() - samples.begin()};
}

// The pitch of a sine: whole cycles between its first and last rising zero crossing, per second.
double Pitch(const std::vector<float>& samples, Span span, int rate) {
    std::vector<long> rises;
    for (long i = span.First + 1; i < span.Last; ++i)
        if (samples[i - 1] < 0 && samples[i] >= 0)
            rises.push_back(i);
    return rises.size() > 1 ? (rises.size() - 1.0) * rate / (rises.back() - rises.front()) : 0;
}

float LargestStep(const std::vector<float>& samples) {
    float largest = 0;
    for (size_t i = 1; i < samples.size(); ++i)
        largest = std::max(largest, std::fabs(samples[i] - samples[i - 1]));
    return largest;
}

bool AllZero(const std::vector<float>& samples, long from, long to) {
    return from >= to ||
           std::all_of(samples.data() + from, samples.data() + to, [](float s) { return s == 0; });
}

// The first frame after the steady level that leaves it: where a cut took effect.
long EndOfLevel(const std::vector<float>& out) {
    auto atLevel = [](float s) { return std::fabs(s - Level.Amplitude) <= 0.002f; };
    return std::find_if_not(std::find_if(out.begin(), out.end(), atLevel), out.end(), atLevel) - out.begin();
}

class SdlWavePlayerTest : public ::testing::Test {
protected:
    void SetUp() override {
        Dir = ::testing::TempDir() + "tovi-wave-XXXXXX";
        ASSERT_NE(mkdtemp(&Dir[0]), nullptr);
        Output = Dir + "/device.raw";
    }

    void TearDown() override {
        Player.Close();
        for (const char* name : {"SDL_AUDIODRIVER", "SDL_DISKAUDIOFILE", "SDL_DISKAUDIODELAY"})
            unsetenv(name);
        ASSERT_EQ(std::system(("rm -rf '" + Dir + "'").c_str()), 0);
    }

    std::string File(const std::string& name, const std::string& bytes) {
        std::ofstream(Dir + "/" + name, std::ios::binary) << bytes;
        return Dir + "/" + name;
    }
    std::string Wav(const std::string& name, const Tone& tone) { return File(name, WavBytes(tone)); }

    // Opens the player on the disk driver, which runs here about five times faster than a sound card.
    void OpenDisk() {
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", Output.c_str(), 1);
        setenv("SDL_DISKAUDIODELAY", "2", 1);
        ASSERT_TRUE(Player.Open());
        ASSERT_GE(Player.Channels(), 2);
    }

    // Opens the device and plays Level for a while.
    void OpenDiskPlayingLevel() {
        const std::string path = Wav("level.wav", Level);
        ASSERT_NO_FATAL_FAILURE(OpenDisk());
        Player.Play(path.c_str());
        PlayOn(0.1);
    }

    // Frames the device has written so far.
    long Frames() const { return FileSize(Output) / static_cast<long>(sizeof(float) * Player.Channels()); }

    // Lets the device play on for `seconds` more of its own time; gives up after ten seconds of the clock's,
    // so that a broken player cannot hang the run.
    void PlayOn(double seconds) {
        const long target = Frames() + static_cast<long>(seconds * Player.SampleRate());
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (Frames() < target && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        ASSERT_GE(Frames(), target) << "the device stopped playing";
    }

    // Closes the player and returns the first channel of all the device wrote. Every file is mono, so every
    // other channel must be the same.
    std::vector<float> CloseAndRead() {
        Rate = Player.SampleRate();
        const size_t channels = Player.Channels();
        Player.Close();
        const std::vector<float> all = ReadSamples(Output);
        std::vector<float> first;
        size_t differing = 0;
        for (size_t i = 0; i < all.size(); ++i)
            if (i % channels == 0)
                first.push_back(all[i]);
            else
                differing += all[i] != first.back();
        EXPECT_EQ(differing, 0u) << "the channels differ";
        return first;
    }

    // The tone was heard in full, at its pitch and loudness.
    void ExpectTone(const std::vector<float>& out, Span span, const Tone& tone) {
        EXPECT_NEAR(span.Length(), tone.Seconds * Rate, 0.01 * tone.Seconds * Rate + 32);
        EXPECT_NEAR(Pitch(out, span, Rate), tone.Frequency, 0.03 * tone.Frequency);
        const auto peak = std::minmax_element(out.begin() + span.First, out.begin() + span.Last);
        EXPECT_NEAR(std::max(-*peak.first, *peak.second), tone.Amplitude, 0.03);
    }

    std::string Dir;
    std::string Output;
    SdlWavePlayer Player;
    int Rate = 0;
};

TEST_F(SdlWavePlayerTest, PlaysAFileOnBothSidesAtItsOwnPitchAndLengthOnlyWhileOpen) {
    const Tone tone;
    const std::string path = Wav("hit.wav", tone);

    // Never opened, or closed twice, it plays nothing and does not crash.
    Player.Play(path.c_str());
    Player.Close();
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    ASSERT_TRUE(Player.Open());
    EXPECT_TRUE(Player.Open()) << "opening an open player keeps it open";
    Player.Close();
    Player.Close();
    Player.Play(path.c_str());
    {
        SdlWavePlayer leftOpen; // closes itself when it goes
        ASSERT_TRUE(leftOpen.Open());
        leftOpen.Play(path.c_str());
    }

    // Open again, the file plays once, in full, after silence.
    ASSERT_NO_FATAL_FAILURE(OpenDisk());
    PlayOn(0.05);
    const long from = Frames();
    Player.Play(path.c_str());
    PlayOn(tone.Seconds + 0.1);
    const std::vector<float> out = CloseAndRead();

    EXPECT_TRUE(AllZero(out, 0, from)) << "sound before anything was played";
    const Span span = AudibleSpan(out, from);
    ExpectTone(out, span, tone);
    EXPECT_TRUE(AllZero(out, span.Last + 64, static_cast<long>(out.size()))) << "sound after the file ended";
}

TEST_F(SdlWavePlayerTest, ANewSoundFadesOutTheOldOneWithoutAClickAndStartsAtOnce) {
    const Tone tone;
    const std::string path = Wav("tone.wav", tone);
    ASSERT_NO_FATAL_FAILURE(OpenDiskPlayingLevel());
    Player.Play(path.c_str());
    PlayOn(tone.Seconds + 0.1);
    const std::vector<float> out = CloseAndRead();

    EXPECT_LT(LargestStep(out), ClickStep);
    const long cut = EndOfLevel(out);
    ASSERT_LT(cut, static_cast<long>(out.size())) << "the steady level never ended";

    // The new sound began right at the cut, not after the fade, and played in full.
    const Span span = AudibleSpan(out, cut);
    EXPECT_NEAR(span.Last - static_cast<long>(tone.Seconds * Rate), cut, 32);

    // A few milliseconds on, the old sound is gone and only the new one is heard.
    const Span afterFade{cut + Rate / 100, span.Last};
    const double sum = std::accumulate(out.begin() + afterFade.First, out.begin() + afterFade.Last, 0.0);
    EXPECT_NEAR(sum / afterFade.Length(), 0.0, 0.01) << "the old sound is still mixed in";
}

TEST_F(SdlWavePlayerTest, UnplayableFilesGiveSilenceAndAFullTableNeverDropsTheSoundPlaying) {
    // Freed sample memory goes straight back to the system, so a sound read after it was freed crashes.
    mallopt(M_MMAP_THRESHOLD, 64 * 1024);
    const Tone tone{440, 0.5, 0.1};
    const Tone extra{330, 0.5, 0.1};
    const std::string path = Wav("tone.wav", tone);
    const std::string extraPath = Wav("extra.wav", extra);
    // Missing, a directory, empty, garbage after a RIFF header, cut off in its header, and a header that
    // claims gigabytes of samples with none after it.
    std::string huge = WavBytes(tone).substr(0, 44);
    huge.replace(40, 4, "\xf0\xff\xff\xff", 4);
    std::vector<std::string> files = {
        Dir + "/missing.wav",
        Dir,
        File("empty.wav", ""),
        File("garbage.wav", std::string("RIFF\x40\0\0\0WAVEfmt ", 16) + std::string(64, '\x9b')),
        File("truncated.wav", WavBytes(tone).substr(0, 30)),
        File("huge.wav", huge)};
    // With the level and the tone, just enough to fill the player's table.
    while (files.size() < SdlWavePlayer::CacheSize - 2)
        files.push_back(Dir + "/missing" + std::to_string(files.size()) + ".wav");

    ASSERT_NO_FATAL_FAILURE(OpenDiskPlayingLevel());
    for (int round = 0; round < 2; ++round) { // the second time round, as files known to be silent
        Player.Play(nullptr);
        Player.Play("");
        for (const std::string& bad : files) {
            Player.Play(bad.c_str());
            PlayOn(0.01);
        }
    }
    const long from = Frames();
    Player.Play(path.c_str());
    PlayOn(tone.Seconds + 0.1);
    // The level plays again, and one file more than the table holds must not make room by dropping it.
    const long extraFrom = Frames();
    Player.Play((Dir + "/level.wav").c_str());
    Player.Play(extraPath.c_str());
    PlayOn(extra.Seconds + 0.1);
    const std::vector<float> out = CloseAndRead();

    EXPECT_LT(LargestStep(out), ClickStep);
    const long quiet = EndOfLevel(out) + Rate / 100;
    ASSERT_LT(quiet, from);
    EXPECT_TRUE(AllZero(out, quiet, from)) << "an unplayable file made a sound or left the old one playing";
    ExpectTone(out, AudibleSpan(out, from, extraFrom), tone);
    const Span extraSpan = AudibleSpan(out, extraFrom); // begins over the level's fade
    EXPECT_NEAR(Pitch(out, Span{extraSpan.First + Rate / 100, extraSpan.Last}, Rate), extra.Frequency,
                0.03 * extra.Frequency);
}

TEST_F(SdlWavePlayerTest, WithNoDeviceOpenFailsWithoutPrintingAnything) {
    const std::string captured = Dir + "/stderr.txt";

    // "alsa" on a machine with no sound card is the case where ALSA itself would print errors; where
    // there is a card it may open, and must still print nothing.
    for (const char* driver : {"no-such-driver", "alsa"}) {
        setenv("SDL_AUDIODRIVER", driver, 1);
        std::fflush(stderr);
        const int saved = dup(STDERR_FILENO);
        const int file = open(captured.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ASSERT_TRUE(saved >= 0 && file >= 0 && dup2(file, STDERR_FILENO) == STDERR_FILENO);
        close(file);
        const bool opened = Player.Open();
        Player.Play("hit.wav");
        Player.Close();
        std::fflush(stderr);
        dup2(saved, STDERR_FILENO);
        close(saved);

        EXPECT_FALSE(opened && std::string(driver) == "no-such-driver");
        EXPECT_EQ(FileSize(captured), 0) << driver << " printed to stderr";
    }
}

} // namespace
