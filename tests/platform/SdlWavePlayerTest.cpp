#include "platform/SdlWavePlayer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

// These tests listen to what really comes out of the audio device. SDL's "disk" driver writes every sample
// the player mixes into a raw file, in the device's format (32-bit float, interleaved), paced like a sound
// card but faster; the "dummy" driver discards them. Sound positions are judged from the samples alone,
// never from how long anything took.

namespace {

constexpr double Pi = 3.14159265358979323846;

// Any step between neighbouring samples above this is an audible click. A 0.5 sine at 440 Hz moves at most
// about 0.03 per sample at 44.1 kHz, and a 0.5 level fading out over 5 ms about 0.002.
constexpr float ClickStep = 0.05f;

// What counts as sound rather than the resampler's faint ringing around it.
constexpr float Audible = 0.001f;

// Keeps a broken player from hanging the run; nothing is expected to take near this long.
constexpr auto Patience = std::chrono::seconds(10);

// One channel of a sound file, as floats in -1..1; the writer scales them to 16-bit PCM.
struct Tone {
    double Frequency = 440;
    double Amplitude = 0.5;
    double Seconds = 0.2;
    double RampInMs = 2; // fades keep the file itself from clicking, so any click is the player's
    double RampOutMs = 2;
    bool Steady = false; // a constant level instead of a sine: a cut that does not fade always jumps
};

std::vector<float> Render(const Tone& tone, int rate) {
    const int frames = static_cast<int>(tone.Seconds * rate);
    const double rampIn = tone.RampInMs * rate / 1000;
    const double rampOut = tone.RampOutMs * rate / 1000;
    std::vector<float> samples(frames);
    for (int i = 0; i < frames; ++i) {
        double value =
            tone.Steady ? tone.Amplitude : tone.Amplitude * std::sin(2 * Pi * tone.Frequency * i / rate);
        if (rampIn > 0 && i < rampIn)
            value *= i / rampIn;
        if (rampOut > 0 && frames - 1 - i < rampOut)
            value *= (frames - 1 - i) / rampOut;
        samples[i] = static_cast<float>(value);
    }
    return samples;
}

void PutLe(std::string& bytes, uint32_t value, int size) {
    for (int i = 0; i < size; ++i)
        bytes.push_back(static_cast<char>((value >> (8 * i)) & 0xff));
}

// A canonical 16-bit PCM .wav; channels holds one sample list per channel, all the same length.
std::string WavBytes(int rate, const std::vector<std::vector<float>>& channels) {
    const uint32_t count = static_cast<uint32_t>(channels.size());
    const uint32_t frames = static_cast<uint32_t>(channels[0].size());
    const uint32_t dataBytes = frames * count * 2;
    std::string bytes = "RIFF";
    PutLe(bytes, 36 + dataBytes, 4);
    bytes += "WAVEfmt ";
    PutLe(bytes, 16, 4);
    PutLe(bytes, 1, 2); // PCM
    PutLe(bytes, count, 2);
    PutLe(bytes, static_cast<uint32_t>(rate), 4);
    PutLe(bytes, static_cast<uint32_t>(rate) * count * 2, 4);
    PutLe(bytes, count * 2, 2);
    PutLe(bytes, 16, 2);
    bytes += "data";
    PutLe(bytes, dataBytes, 4);
    for (uint32_t frame = 0; frame < frames; ++frame)
        for (uint32_t channel = 0; channel < count; ++channel) {
            const long value = std::lround(std::clamp(channels[channel][frame], -1.0f, 1.0f) * 32767.0);
            PutLe(bytes, static_cast<uint32_t>(static_cast<int16_t>(value)) & 0xffff, 2);
        }
    return bytes;
}

void WriteFile(const std::string& path, const std::string& bytes) {
    FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr) << path;
    ASSERT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), file), bytes.size());
    std::fclose(file);
}

long FileSize(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 ? static_cast<long>(info.st_size) : 0;
}

// The whole samples written from byte offset `from` on; a sample still half-written is left out.
std::vector<float> ReadSamples(const std::string& path, long from = 0) {
    std::vector<float> samples;
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return samples;
    std::fseek(file, from, SEEK_SET);
    float buffer[4096];
    size_t got;
    while ((got = std::fread(buffer, sizeof(float), 4096, file)) > 0)
        samples.insert(samples.end(), buffer, buffer + got);
    std::fclose(file);
    return samples;
}

void Pause() {
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
}

// Waits until the device has written at least `bytes` bytes in all.
bool WaitForBytes(const std::string& path, long bytes) {
    const auto deadline = std::chrono::steady_clock::now() + Patience;
    while (FileSize(path) < bytes) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        Pause();
    }
    return true;
}

// Waits until a sample at least `level` loud comes out, so the next step happens while it is playing.
bool WaitForLevel(const std::string& path, float level) {
    const auto deadline = std::chrono::steady_clock::now() + Patience;
    long offset = 0;
    while (std::chrono::steady_clock::now() < deadline) {
        const std::vector<float> fresh = ReadSamples(path, offset);
        for (float sample : fresh)
            if (std::fabs(sample) >= level)
                return true;
        offset += static_cast<long>(fresh.size() * sizeof(float));
        Pause();
    }
    return false;
}

// One channel of the device's output.
std::vector<float> Channel(const std::vector<float>& interleaved, int channels, int channel) {
    std::vector<float> out;
    for (size_t i = channel; i < interleaved.size(); i += channels)
        out.push_back(interleaved[i]);
    return out;
}

// The first and one past the last audible frame at or after `from`; first == last when there is none.
struct Span {
    long First = 0;
    long Last = 0;
    long Length() const { return Last - First; }
};

Span AudibleSpan(const std::vector<float>& samples, long from = 0, long to = -1) {
    if (to < 0)
        to = static_cast<long>(samples.size());
    Span span{to, to};
    for (long i = from; i < to; ++i)
        if (std::fabs(samples[i]) > Audible) {
            if (span.First == to)
                span.First = i;
            span.Last = i + 1;
        }
    if (span.First == to)
        span = Span{from, from};
    return span;
}

// The pitch of a sine: whole cycles between its first and last rising zero crossing, per second.
double Pitch(const std::vector<float>& samples, Span span, int rate) {
    long firstRise = -1;
    long lastRise = -1;
    int cycles = 0;
    for (long i = span.First + 1; i < span.Last; ++i)
        if (samples[i - 1] < 0 && samples[i] >= 0) {
            if (firstRise < 0)
                firstRise = i;
            else
                ++cycles;
            lastRise = i;
        }
    return cycles > 0 ? cycles * static_cast<double>(rate) / (lastRise - firstRise) : 0;
}

float Peak(const std::vector<float>& samples, Span span) {
    float peak = 0;
    for (long i = span.First; i < span.Last; ++i)
        peak = std::max(peak, std::fabs(samples[i]));
    return peak;
}

float LargestStep(const std::vector<float>& samples) {
    float largest = 0;
    for (size_t i = 1; i < samples.size(); ++i)
        largest = std::max(largest, std::fabs(samples[i] - samples[i - 1]));
    return largest;
}

bool AllZero(const std::vector<float>& samples, long from, long to) {
    for (long i = from; i < to; ++i)
        if (samples[i] != 0.0f)
            return false;
    return true;
}

class SdlWavePlayerTest : public ::testing::Test {
protected:
    void SetUp() override {
        const char* base = std::getenv("TMPDIR");
        std::string pattern = std::string(base && base[0] ? base : "/tmp") + "/tovi-wave-XXXXXX";
        std::vector<char> buffer(pattern.begin(), pattern.end());
        buffer.push_back('\0');
        ASSERT_NE(mkdtemp(buffer.data()), nullptr);
        Dir = buffer.data();
        Output = Dir + "/device.raw";
    }

    void TearDown() override {
        Player.Close();
        unsetenv("SDL_AUDIODRIVER");
        unsetenv("SDL_DISKAUDIOFILE");
        unsetenv("SDL_DISKAUDIODELAY");
        std::string command = "rm -rf '" + Dir + "'";
        ASSERT_EQ(std::system(command.c_str()), 0);
    }

    // Opens the player on the disk driver, which runs here about five times faster than a sound card.
    void OpenDisk() {
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", Output.c_str(), 1);
        setenv("SDL_DISKAUDIODELAY", "2", 1);
        ASSERT_TRUE(Player.Open());
        ASSERT_GT(Player.SampleRate(), 0);
        ASSERT_GT(Player.Channels(), 0);
    }

    std::string Wav(const std::string& name, int rate, const std::vector<Tone>& channels) {
        std::vector<std::vector<float>> rendered;
        for (const Tone& tone : channels)
            rendered.push_back(Render(tone, rate));
        std::string path = Dir + "/" + name;
        WriteFile(path, WavBytes(rate, rendered));
        return path;
    }

    long BytesFor(double seconds) const {
        return static_cast<long>(seconds * Player.SampleRate()) * Player.Channels() * sizeof(float);
    }

    // Lets the device play on for `seconds` more of its own time.
    void PlayOn(double seconds) { ASSERT_TRUE(WaitForBytes(Output, FileSize(Output) + BytesFor(seconds))); }

    std::string Dir;
    std::string Output;
    SdlWavePlayer Player;
};

TEST_F(SdlWavePlayerTest, PlaysEachFileOnceAtItsOwnPitchLengthAndChannels) {
    // Rates other than the device's and a mono file make the player convert.
    Tone mono{440, 0.5, 0.2};
    Tone left{660, 0.25, 0.15};
    Tone right{0, 0, 0.15};
    const std::string monoPath = Wav("hit.wav", 22050, {mono});
    const std::string stereoPath = Wav("WIND2.wav", 48000, {left, right});

    OpenDisk();
    PlayOn(0.05);
    const long beforeMono = FileSize(Output);
    Player.Play(monoPath.c_str());
    PlayOn(mono.Seconds + 0.1);
    const long beforeStereo = FileSize(Output);
    Player.Play(stereoPath.c_str());
    PlayOn(left.Seconds + 0.1);
    const int rate = Player.SampleRate();
    const int channels = Player.Channels();
    Player.Close();

    const std::vector<float> all = ReadSamples(Output);
    ASSERT_GE(channels, 2);
    const std::vector<float> first = Channel(all, channels, 0);
    const std::vector<float> second = Channel(all, channels, 1);
    const long monoFrom = beforeMono / static_cast<long>(sizeof(float)) / channels;
    const long stereoFrom = beforeStereo / static_cast<long>(sizeof(float)) / channels;
    ASSERT_GT(static_cast<long>(first.size()), stereoFrom);

    EXPECT_TRUE(AllZero(all, 0, monoFrom * channels)) << "sound before anything was played";

    // The mono file: on both sides alike, at its pitch, loudness and length, and only once.
    const Span monoSpan = AudibleSpan(first, monoFrom, stereoFrom);
    EXPECT_NEAR(monoSpan.Length(), mono.Seconds * rate, 0.01 * mono.Seconds * rate + 32);
    EXPECT_NEAR(Pitch(first, monoSpan, rate), mono.Frequency, 0.03 * mono.Frequency);
    EXPECT_NEAR(Peak(first, monoSpan), mono.Amplitude, 0.03);
    for (long i = monoFrom; i < stereoFrom; ++i)
        ASSERT_NEAR(first[i], second[i], 1e-6f) << "frame " << i;
    EXPECT_TRUE(AllZero(first, monoSpan.Last + 64, stereoFrom)) << "sound after the file ended";

    // The stereo file: its left channel stays left and its silent right channel stays silent.
    const Span leftSpan = AudibleSpan(first, stereoFrom);
    EXPECT_NEAR(leftSpan.Length(), left.Seconds * rate, 0.01 * left.Seconds * rate + 32);
    EXPECT_NEAR(Pitch(first, leftSpan, rate), left.Frequency, 0.03 * left.Frequency);
    EXPECT_NEAR(Peak(first, leftSpan), left.Amplitude, 0.03);
    EXPECT_LT(Peak(second, Span{stereoFrom, static_cast<long>(second.size())}), Audible);
    EXPECT_TRUE(AllZero(first, leftSpan.Last + 64, static_cast<long>(first.size())));
}

TEST_F(SdlWavePlayerTest, ANewSoundFadesOutTheOldOneWithoutAClickAndStartsAtOnce) {
    // A long steady level, so the cut lands at full loudness wherever it falls; the new sound starts at
    // a zero of its sine with no fade of its own, so that its first frame is where it begins.
    Tone level{0, 0.5, 8.0, 10, 10, true};
    Tone tone{440, 0.5, 0.2, 0, 2};
    const std::string levelPath = Wav("level.wav", 22050, {level});
    const std::string tonePath = Wav("tone.wav", 22050, {tone});

    OpenDisk();
    Player.Play(levelPath.c_str());
    ASSERT_TRUE(WaitForLevel(Output, 0.45f));
    Player.Play(tonePath.c_str());
    PlayOn(tone.Seconds + 0.1);
    const int rate = Player.SampleRate();
    const int channels = Player.Channels();
    Player.Close();

    const std::vector<float> out = Channel(ReadSamples(Output), channels, 0);
    EXPECT_LT(LargestStep(out), ClickStep);

    // The level was playing until the cut: the first frame after it that leaves the level is where
    // both the fade and the new sound begin.
    long cut = 0;
    while (cut < static_cast<long>(out.size()) && std::fabs(out[cut] - level.Amplitude) > 0.002f)
        ++cut;
    while (cut < static_cast<long>(out.size()) && std::fabs(out[cut] - level.Amplitude) <= 0.002f)
        ++cut;
    ASSERT_LT(cut, static_cast<long>(out.size())) << "the steady level never ended";

    // The new sound began right at the cut, not after the fade, and played in full.
    const Span toneSpan = AudibleSpan(out, cut);
    const long toneFrames = static_cast<long>(tone.Seconds * rate);
    EXPECT_NEAR(toneSpan.Last - toneFrames, cut, 32);

    // A few milliseconds on, the old sound is gone and only the new one is heard.
    const Span afterFade{cut + rate / 100, toneSpan.Last};
    ASSERT_GT(afterFade.Length(), 0);
    double sum = 0;
    for (long i = afterFade.First; i < afterFade.Last; ++i)
        sum += out[i];
    EXPECT_NEAR(sum / afterFade.Length(), 0.0, 0.01) << "the old sound is still mixed in";
    EXPECT_NEAR(Pitch(out, afterFade, rate), tone.Frequency, 0.03 * tone.Frequency);
    EXPECT_NEAR(Peak(out, afterFade), tone.Amplitude, 0.03);
    EXPECT_TRUE(AllZero(out, toneSpan.Last + 64, static_cast<long>(out.size())));
}

TEST_F(SdlWavePlayerTest, FilesThatCannotBePlayedCutOffTheSoundAndGiveSilence) {
    Tone level{0, 0.5, 8.0, 10, 10, true};
    Tone tone{440, 0.5, 0.1};
    const std::string levelPath = Wav("level.wav", 22050, {level});
    const std::string tonePath = Wav("tone.wav", 22050, {tone});

    const std::string empty = Dir + "/empty.wav";
    WriteFile(empty, "");
    const std::string directory = Dir + "/folder.wav";
    ASSERT_EQ(mkdir(directory.c_str(), 0700), 0);
    const std::string garbage = Dir + "/garbage.wav";
    std::string noise = "RIFF\x40\x00\x00\x00WAVE";
    for (int i = 0; i < 64; ++i)
        noise.push_back(static_cast<char>(i * 37 + 11));
    WriteFile(garbage, noise);
    const std::string truncated = Dir + "/truncated.wav";
    WriteFile(truncated, WavBytes(22050, {Render(tone, 22050)}).substr(0, 30));
    // A real, playable file behind a path too long for the player's table.
    std::string longDir = Dir;
    for (int i = 0; i < 5; ++i) {
        longDir += "/" + std::string(60, 'd');
        ASSERT_EQ(mkdir(longDir.c_str(), 0700), 0);
    }
    const std::string longPath = longDir + "/tone.wav";
    WriteFile(longPath, WavBytes(22050, {Render(tone, 22050)}));
    ASSERT_GT(longPath.size(), static_cast<size_t>(SdlWavePlayer::MaxPathLength));

    const std::string missing = Dir + "/missing.wav";
    const char* unplayable[] = {missing.c_str(),
                                empty.c_str(),
                                directory.c_str(),
                                garbage.c_str(),
                                truncated.c_str(),
                                longPath.c_str(),
                                "",
                                nullptr};

    OpenDisk();
    Player.Play(levelPath.c_str());
    ASSERT_TRUE(WaitForLevel(Output, 0.45f));
    // Twice over, so the second round plays them as already known to be silent.
    for (int round = 0; round < 2; ++round)
        for (const char* path : unplayable) {
            Player.Play(path);
            PlayOn(0.01);
        }
    const long beforeTone = FileSize(Output);
    Player.Play(tonePath.c_str());
    PlayOn(tone.Seconds + 0.1);
    const int rate = Player.SampleRate();
    const int channels = Player.Channels();
    Player.Close();

    const std::vector<float> all = ReadSamples(Output);
    const std::vector<float> out = Channel(all, channels, 0);
    EXPECT_LT(LargestStep(out), ClickStep);

    long cut = 0;
    while (cut < static_cast<long>(out.size()) && std::fabs(out[cut] - level.Amplitude) > 0.002f)
        ++cut;
    while (cut < static_cast<long>(out.size()) && std::fabs(out[cut] - level.Amplitude) <= 0.002f)
        ++cut;
    const long toneFrom = beforeTone / static_cast<long>(sizeof(float)) / channels;
    ASSERT_LT(cut + rate / 100, toneFrom);
    EXPECT_TRUE(AllZero(all, (cut + rate / 100) * channels, toneFrom * channels))
        << "an unplayable file made a sound or left the old one playing";

    // The player still plays a good file afterwards.
    const Span toneSpan = AudibleSpan(out, toneFrom);
    EXPECT_NEAR(toneSpan.Length(), tone.Seconds * rate, 0.01 * tone.Seconds * rate + 32);
    EXPECT_NEAR(Pitch(out, toneSpan, rate), tone.Frequency, 0.03 * tone.Frequency);
}

TEST_F(SdlWavePlayerTest, KeepsPlayingTheRightFilesOnceMoreFilesThanItKeepsHaveBeenPlayed) {
    // Each file its own pitch, so a mix-up between kept files would be heard. The first is long, so that
    // it is still playing when the table is full and a file has to make room; and large, so that the C
    // library hands its memory back to the system when it is freed, and a fade still reading it crashes.
    const int count = SdlWavePlayer::CacheSize + 1;
    std::vector<std::string> paths;
    std::vector<Tone> tones;
    for (int i = 0; i < count; ++i) {
        tones.push_back(Tone{300.0 + 50 * i, 0.25, i == 0 ? 30.0 : 0.1});
        paths.push_back(Wav("tone" + std::to_string(i) + ".wav", 22050, {tones.back()}));
    }
    const int newest = count - 1;

    OpenDisk();
    // Fills the table, in quick succession, so that many cut-off sounds fade at once.
    for (int i = 0; i < SdlWavePlayer::CacheSize; ++i)
        Player.Play(paths[i].c_str());
    PlayOn(0.15);

    // The first file, kept, plays again from its start; while it plays, one file too many comes in, and
    // the one that makes room must not be the one playing. Then a file that had to make room is read
    // afresh, and the newest one, kept, plays again.
    std::vector<long> starts;
    for (int i : {0, newest, 1, newest}) {
        starts.push_back(FileSize(Output));
        Player.Play(paths[i].c_str());
        PlayOn(i == 0 ? 0.1 : 0.2);
    }
    const int rate = Player.SampleRate();
    const int channels = Player.Channels();
    Player.Close();

    const std::vector<float> out = Channel(ReadSamples(Output), channels, 0);
    const long frameBytes = static_cast<long>(sizeof(float)) * channels;
    const long end = static_cast<long>(out.size());
    auto segment = [&](size_t k) {
        return AudibleSpan(out, starts[k] / frameBytes,
                           k + 1 < starts.size() ? starts[k + 1] / frameBytes : end);
    };

    // Every cut from here on is between two sounds and must fade.
    EXPECT_LT(LargestStep(std::vector<float>(out.begin() + starts[0] / frameBytes, out.end())), ClickStep);

    const Span first = segment(0);
    EXPECT_NEAR(Pitch(out, first, rate), tones[0].Frequency, 0.03 * tones[0].Frequency);

    // It begins over the fading tail of the first file, so only its own frames before its end are judged.
    const Tone& extra = tones[newest];
    const long extraFrames = static_cast<long>(extra.Seconds * rate);
    const Span extraSpan = segment(1);
    ASSERT_GE(extraSpan.Length(), extraFrames - 32);
    EXPECT_NEAR(Pitch(out, Span{extraSpan.Last - extraFrames + rate / 100, extraSpan.Last}, rate),
                extra.Frequency, 0.03 * extra.Frequency);

    const int played[] = {1, newest};
    for (int k = 0; k < 2; ++k) {
        const Tone& tone = tones[played[k]];
        const Span span = segment(2 + k);
        EXPECT_NEAR(span.Length(), tone.Seconds * rate, 0.01 * tone.Seconds * rate + 32)
            << "file " << played[k];
        EXPECT_NEAR(Pitch(out, span, rate), tone.Frequency, 0.03 * tone.Frequency) << "file " << played[k];
    }
}

TEST_F(SdlWavePlayerTest, PlaysOnlyWhileOpenAndOpensAgainAfterClosing) {
    Tone tone{440, 0.5, 0.1};
    const std::string path = Wav("hit.wav", 22050, {tone});

    EXPECT_FALSE(Player.IsOpen());
    Player.Play(path.c_str());
    Player.Close();

    setenv("SDL_AUDIODRIVER", "dummy", 1);
    ASSERT_TRUE(Player.Open());
    EXPECT_TRUE(Player.IsOpen());
    EXPECT_TRUE(Player.Open()) << "opening an open player keeps it open";
    Player.Play(path.c_str());
    Player.Close();
    Player.Close();
    EXPECT_FALSE(Player.IsOpen());
    EXPECT_EQ(Player.SampleRate(), 0);
    Player.Play(path.c_str());

    {
        // Left open, a player closes itself when it goes.
        SdlWavePlayer other;
        ASSERT_TRUE(other.Open());
        other.Play(path.c_str());
    }

    // Open again, on the disk driver: nothing played while closed comes out, and the file plays anew.
    OpenDisk();
    PlayOn(0.05);
    const long before = FileSize(Output);
    Player.Play(path.c_str());
    PlayOn(tone.Seconds + 0.1);
    const int rate = Player.SampleRate();
    const int channels = Player.Channels();
    Player.Close();

    const std::vector<float> all = ReadSamples(Output);
    const long from = before / static_cast<long>(sizeof(float)) / channels;
    EXPECT_TRUE(AllZero(all, 0, from * channels));
    const std::vector<float> out = Channel(all, channels, 0);
    const Span span = AudibleSpan(out, from);
    EXPECT_NEAR(span.Length(), tone.Seconds * rate, 0.01 * tone.Seconds * rate + 32);
    EXPECT_NEAR(Pitch(out, span, rate), tone.Frequency, 0.03 * tone.Frequency);
}

TEST_F(SdlWavePlayerTest, WithNoDeviceOpenFailsWithoutPrintingAnything) {
    const std::string path = Wav("hit.wav", 22050, {Tone{}});
    const std::string captured = Dir + "/stderr.txt";

    // "alsa" on a machine with no sound card is the case where ALSA itself would print errors; where
    // there is a card it may open, and must still print nothing.
    for (const char* driver : {"no-such-driver", "alsa"}) {
        setenv("SDL_AUDIODRIVER", driver, 1);
        std::fflush(stderr);
        const int saved = dup(STDERR_FILENO);
        const int file = open(captured.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ASSERT_GE(saved, 0);
        ASSERT_GE(file, 0);
        dup2(file, STDERR_FILENO);
        close(file);
        const bool opened = Player.Open();
        Player.Play(path.c_str());
        Player.Close();
        std::fflush(stderr);
        dup2(saved, STDERR_FILENO);
        close(saved);

        if (std::string(driver) == "no-such-driver") {
            EXPECT_FALSE(opened);
        }
        EXPECT_FALSE(Player.IsOpen());
        EXPECT_EQ(FileSize(captured), 0) << driver << " printed to stderr";
    }
}

} // namespace
