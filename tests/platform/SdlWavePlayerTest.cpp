// What really comes out of the sound device. SDL's "disk" driver writes every sample the player mixes into
// a raw file in the device's format (32-bit float, interleaved), paced like a sound card but faster; where
// a sound starts and ends is judged from the samples alone, never from how long anything took. (Without a
// device the player stays closed, plays nothing and prints nothing: every end-to-end run on a machine
// without a sound card shows it, and the program plays its first sound before the device opens.)

#include "platform/SdlWavePlayer.h"
#include "support/Bytes.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <malloc.h>
#include <string>
#include <thread>
#include <vector>

namespace {

using support::Bytes;

// A steady level, so that its cut always jumps unless it fades.
constexpr double Level = 0.5;

// A mono 16-bit file at 22050 Hz (a rate no device runs at, so the player always converts) holding a steady
// level; its ends fade over 2 ms so that the file itself never clicks.
Bytes WavFile(double seconds, double level = Level) {
    const int frames = int(seconds * 22050);
    Bytes bytes(44 + 2 * std::size_t(frames));
    const char* header = "RIFF....WAVEfmt \x10\0\0\0\x01\0\x01\0\x22\x56\0\0\x44\xac\0\0\x02\0\x10\0data";
    std::copy(header, header + 40, bytes.begin());
    support::PutAt(bytes, 4, 36 + 2 * frames);
    support::PutAt(bytes, 40, 2 * frames);
    for (int i = 0; i < frames; ++i) {
        const double gain = std::min({1.0, (frames - 1 - i) / 44.1, i / 44.1});
        support::PutAt(bytes, 44 + 2 * std::size_t(i), uint32_t(std::lround(level * gain * 32767)), 2);
    }
    return bytes;
}

// Where the stretch of the steady level that follows `from` ends.
long LevelEnd(const std::vector<float>& out, long from) {
    const auto atLevel = [](float s) { return std::fabs(s - Level) <= 0.002f; };
    return std::find_if_not(std::find_if(out.begin() + from, out.end(), atLevel), out.end(), atLevel) -
           out.begin();
}

// The frames the device has written so far.
long Frames(const SdlWavePlayer& player) {
    const char* file = "device.raw";
    return std::filesystem::exists(file) ? long(std::filesystem::file_size(file) / 4 / player.Channels()) : 0;
}

// Lets the device play on for `seconds` of its own time, giving up after ten seconds of the clock's;
// returns the frames it has written by then.
long PlayOn(const SdlWavePlayer& player, double seconds) {
    const long target = Frames(player) + long(seconds * player.SampleRate());
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (Frames(player) < target && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    EXPECT_GE(Frames(player), target) << "the device stopped playing";
    return Frames(player);
}

TEST(SdlWavePlayerTest, ANewSoundCutsTheOldOneOffWithoutAClickAndDamagedFilesGiveSilence) {
    mallopt(M_MMAP_THRESHOLD, 64 * 1024); // freed samples go back to the system: a read after free crashes
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", "device.raw", 1);
    setenv("SDL_DISKAUDIODELAY", "2", 1);
    support::ScratchFolder scratch;
    SdlWavePlayer player;
    ASSERT_TRUE(player.Open());
    unsetenv("SDL_AUDIODRIVER");
    const int channels = player.Channels();
    const int rate = player.SampleRate();
    ASSERT_GE(channels, 2);
    support::WriteFile("level.wav", WavFile(8.0));
    support::WriteFile("last.wav", WavFile(8.0, 0.3));
    // Damaged files: gigabytes of samples claimed and none there, a header cut short; a path too long to
    // keep. Missing files fill the table of decoded files, which the levels share with them.
    Bytes huge = WavFile(0.0);
    support::PutAt(huge, 40, 0xfffffff0u);
    support::WriteFile("huge.wav", huge);
    support::WriteFile("truncated.wav", Bytes(huge.begin(), huge.begin() + 30));
    std::vector<std::string> damaged = {"huge.wav", "truncated.wav"};
    while (damaged.size() < SdlWavePlayer::CacheSize - 1)
        damaged.push_back("missing" + std::to_string(damaged.size()) + ".wav");
    damaged.push_back(std::string(300, 'x'));

    // The level, cut off by the damaged files; and again, cut off at once by one file more than the table
    // holds, whose slot must not be the level's, though the level's is the oldest: its samples are still
    // fading out.
    player.Play("level.wav");
    const long levelAgain = PlayOn(player, 0.1);
    player.Play(nullptr);
    long lastLevel = 0;
    for (const std::string& name : damaged) {
        player.Play(name.c_str());
        lastLevel = PlayOn(player, 0.01);
    }
    player.Play("level.wav");
    player.Play("last.wav");
    PlayOn(player, 0.1);
    player.Close();

    // The first channel of all the device wrote; every file is mono, so every other channel is the same.
    const Bytes bytes = support::ReadFile("device.raw");
    std::vector<float> out(bytes.size() / 4 / std::size_t(channels));
    for (std::size_t i = 0; i < out.size(); ++i)
        std::memcpy(&out[i], &bytes[4 * i * std::size_t(channels)], 4);
    // Nothing beyond full scale, and no step between neighbouring samples clicks: a 0.5 level fading out
    // over 5 ms moves about 0.002 a sample, and a new one starts as its own file does, over 2 ms.
    for (std::size_t i = 1; i < out.size(); ++i)
        ASSERT_TRUE(std::fabs(out[i] - out[i - 1]) < 0.05f && std::fabs(out[i]) <= 1.0f)
            << "a click at " << i << ": " << out[i - 1] << " " << out[i];

    // A damaged file, or none, cuts the sound playing off and plays nothing.
    const long quiet = LevelEnd(out, levelAgain) + rate / 100;
    ASSERT_LT(quiet, lastLevel);
    EXPECT_TRUE(std::all_of(out.begin() + quiet, out.begin() + lastLevel, [](float s) { return s == 0.0f; }))
        << "a damaged file made a sound or left the old one playing";
}

} // namespace
