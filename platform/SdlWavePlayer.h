#pragma once

#include <cstdint>
#include <memory>

// Plays short .wav files fire-and-forget through SDL2's audio subsystem, one sound at a time.
//
// A new sound cuts off the one still playing: the old one fades out over a few milliseconds while the new
// one starts at once, so the cut makes no click. Each file is decoded and converted to the device's format
// the first time it is played and kept in a small table, so playing it again reads no file and allocates
// nothing. A file that cannot be played is remembered as silent and plays nothing.
//
// With no usable sound device Open() fails quietly and the program runs silent. Only the audio subsystem
// is started, without SDL's signal handlers, so Ctrl-C and SIGTERM still end the program.
//
// Every method is called from one thread; SDL's audio thread only runs the mixing callback.
class SdlWavePlayer {
public:
    // How many files stay decoded at once, and the longest path the table can keep.
    static constexpr int CacheSize = 8;
    static constexpr int MaxPathLength = 255;

    // The fade that cuts off a sound.
    static constexpr int FadeMs = 5;

    SdlWavePlayer();
    ~SdlWavePlayer();
    SdlWavePlayer(const SdlWavePlayer&) = delete;
    SdlWavePlayer& operator=(const SdlWavePlayer&) = delete;

    // Starts SDL's audio subsystem and opens the default device, mixing in 32-bit float. Returns false,
    // having printed nothing, when there is no device; the player then stays closed and Play does nothing.
    bool Open();

    // Closes the device, forgets every decoded file and stops SDL's audio subsystem. Safe to call twice.
    void Close();

    bool IsOpen() const { return DeviceId != 0; }

    // The device's frame rate and channel count while open; 0 when closed. Its samples are 32-bit floats.
    int SampleRate() const { return DeviceRate; }
    int Channels() const { return DeviceChannels; }

    // Starts the file playing at once, cutting off any sound still playing. A missing or undecodable file,
    // an empty or null path, or a path longer than MaxPathLength gives silence. Does nothing when closed.
    void Play(const char* path);

private:
    struct CachedSound {
        char Name[MaxPathLength + 1] = {};
        bool Used = false;
        std::unique_ptr<float[]> Samples; // interleaved in the device's channel layout; null when silent
        uint32_t Frames = 0;
    };

    // A sound being mixed. The current voice plays to its end; a cut-off voice fades out over FadeLeft
    // frames and then stops.
    struct Voice {
        const float* Samples = nullptr;
        uint32_t Frames = 0;
        uint32_t Position = 0;
        uint32_t FadeLeft = 0;
    };

    // Rapid plays can cut off a sound that is itself still fading in the mix; a few fading voices let
    // each one finish its own fade instead of being dropped mid-way.
    static constexpr int FadingVoices = 4;

    const CachedSound* FindOrLoad(const char* path);
    CachedSound* FreeSlot();
    bool IsPlaying(const float* samples) const;
    void Decode(const char* path, CachedSound& slot) const;
    void Mix(float* out, int frames);
    static void AudioCallback(void* user, uint8_t* stream, int length);

    uint32_t DeviceId = 0;
    int DeviceRate = 0;
    int DeviceChannels = 0;
    uint32_t FadeFrames = 1;

    CachedSound Cache[CacheSize];
    int NextEviction = 0;

    // Read and written by the audio callback: change only with the device locked.
    Voice Current;
    Voice Fading[FadingVoices];
};
