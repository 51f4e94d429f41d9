#include "platform/SdlWavePlayer.h"

#include <SDL.h>

#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <unistd.h>

namespace {

// ALSA's library writes its own error lines to stderr when there is no sound card, and SDL gives no way to
// stop it. Running silent is the normal case on such a machine, so stderr is pointed at /dev/null while SDL
// looks for a device, and put back afterwards.
class QuietStderr {
public:
    QuietStderr() {
        std::fflush(stderr);
        Saved = dup(STDERR_FILENO);
        int devNull = open("/dev/null", O_WRONLY | O_CLOEXEC);
        if (Saved >= 0 && devNull >= 0)
            dup2(devNull, STDERR_FILENO);
        if (devNull >= 0)
            close(devNull);
    }
    ~QuietStderr() {
        std::fflush(stderr);
        if (Saved >= 0) {
            dup2(Saved, STDERR_FILENO);
            close(Saved);
        }
    }
    QuietStderr(const QuietStderr&) = delete;
    QuietStderr& operator=(const QuietStderr&) = delete;

private:
    int Saved = -1;
};

// Float mixing, so two overlapping sounds never wrap around; the device converts to whatever the hardware
// takes. Rate and channel count are only a wish: converting each file once to what the device really runs
// at spares SDL a second conversion on every buffer.
constexpr int WantedRate = 44100;
constexpr int WantedChannels = 2;
// About 12 ms at 44.1 kHz: short enough that a sound starts with the key press that asked for it.
constexpr int WantedBufferFrames = 512;

} // namespace

SdlWavePlayer::SdlWavePlayer() = default;

SdlWavePlayer::~SdlWavePlayer() {
    Close();
}

bool SdlWavePlayer::Open() {
    if (IsOpen())
        return true;

    // SDL would otherwise catch SIGINT and SIGTERM and turn them into quit events nobody reads.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetHint(SDL_HINT_AUDIO_DEVICE_APP_NAME, "Tovi");

    QuietStderr quiet;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
        return false;

    SDL_AudioSpec wanted;
    SDL_zero(wanted);
    wanted.freq = WantedRate;
    wanted.format = AUDIO_F32SYS;
    wanted.channels = WantedChannels;
    wanted.samples = WantedBufferFrames;
    wanted.callback = AudioCallback;
    wanted.userdata = this;
    SDL_AudioSpec obtained;
    SDL_zero(obtained);
    const int allowedChanges =
        SDL_AUDIO_ALLOW_FREQUENCY_CHANGE | SDL_AUDIO_ALLOW_CHANNELS_CHANGE | SDL_AUDIO_ALLOW_SAMPLES_CHANGE;
    SDL_AudioDeviceID device = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, allowedChanges);
    if (device == 0 || obtained.freq <= 0 || obtained.channels == 0) {
        if (device != 0)
            SDL_CloseAudioDevice(device);
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }

    DeviceId = device;
    DeviceRate = obtained.freq;
    DeviceChannels = obtained.channels;
    FadeFrames = static_cast<uint32_t>(DeviceRate) * FadeMs / 1000;
    if (FadeFrames == 0)
        FadeFrames = 1;
    Current = Voice();
    for (Voice& voice : Fading)
        voice = Voice();
    SDL_PauseAudioDevice(DeviceId, 0);
    return true;
}

void SdlWavePlayer::Close() {
    if (!IsOpen())
        return;
    // Closing the device joins the audio thread, so after this no callback can still be reading a buffer.
    SDL_CloseAudioDevice(DeviceId);
    DeviceId = 0;
    DeviceRate = 0;
    DeviceChannels = 0;
    Current = Voice();
    for (Voice& voice : Fading)
        voice = Voice();
    for (CachedSound& slot : Cache)
        slot = CachedSound();
    NextEviction = 0;
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

void SdlWavePlayer::Play(const char* path) {
    if (!IsOpen())
        return;
    const CachedSound* sound = FindOrLoad(path);

    SDL_LockAudioDevice(DeviceId);
    if (Current.Samples && Current.Position < Current.Frames) {
        // The cut-off sound takes the fading voice that has the least left to fade.
        Voice* target = &Fading[0];
        for (Voice& voice : Fading) {
            if (!voice.Samples) {
                target = &voice;
                break;
            }
            if (voice.FadeLeft < target->FadeLeft)
                target = &voice;
        }
        *target = Current;
        target->FadeLeft = FadeFrames;
    }
    Current = Voice();
    if (sound && sound->Samples) {
        Current.Samples = sound->Samples.get();
        Current.Frames = sound->Frames;
    }
    SDL_UnlockAudioDevice(DeviceId);
}

const SdlWavePlayer::CachedSound* SdlWavePlayer::FindOrLoad(const char* path) {
    if (!path || !path[0] || std::strlen(path) > MaxPathLength)
        return nullptr;
    for (const CachedSound& slot : Cache)
        if (slot.Used && std::strcmp(slot.Name, path) == 0)
            return &slot;

    CachedSound* slot = FreeSlot();
    std::snprintf(slot->Name, sizeof slot->Name, "%s", path);
    slot->Used = true;
    Decode(path, *slot);
    return slot;
}

// An empty slot if there is one, else the next one in turn whose samples no voice is playing. At most
// 1 + FadingVoices slots are playing, fewer than CacheSize, so one is always free to reuse.
SdlWavePlayer::CachedSound* SdlWavePlayer::FreeSlot() {
    for (CachedSound& slot : Cache)
        if (!slot.Used)
            return &slot;

    static_assert(CacheSize > 1 + FadingVoices, "every voice may hold a slot; one must stay free");
    CachedSound* victim = nullptr;
    SDL_LockAudioDevice(DeviceId);
    for (int tries = 0; tries < CacheSize && !victim; ++tries) {
        CachedSound& slot = Cache[NextEviction];
        NextEviction = (NextEviction + 1) % CacheSize;
        if (!IsPlaying(slot.Samples.get()))
            victim = &slot;
    }
    SDL_UnlockAudioDevice(DeviceId);
    // Only Play starts a voice, and it runs on this thread, so the victim cannot start playing again
    // before it is refilled.
    *victim = CachedSound();
    return victim;
}

bool SdlWavePlayer::IsPlaying(const float* samples) const {
    if (!samples)
        return false;
    if (Current.Samples == samples)
        return true;
    for (const Voice& voice : Fading)
        if (voice.Samples == samples)
            return true;
    return false;
}

// Leaves the slot silent when the file cannot be read, decoded or converted. SDL_AudioCVT rather than
// SDL_AudioStream: a stream keeps the last few hundred frames back for its resampler and does not give them
// up on flush, which would cut the end off every sound that needs a new rate.
void SdlWavePlayer::Decode(const char* path, CachedSound& slot) const {
    SDL_AudioSpec source;
    SDL_zero(source);
    Uint8* data = nullptr;
    Uint32 length = 0;
    if (!SDL_LoadWAV(path, &source, &data, &length))
        return;

    SDL_AudioCVT cvt;
    const size_t frameBytes = sizeof(float) * static_cast<size_t>(DeviceChannels);
    if (SDL_BuildAudioCVT(&cvt, source.format, source.channels, source.freq, AUDIO_F32SYS,
                          static_cast<Uint8>(DeviceChannels), DeviceRate) >= 0 &&
        length > 0 && static_cast<size_t>(length) * cvt.len_mult <= static_cast<size_t>(SDL_MAX_SINT32)) {
        // SDL converts in place and needs room for the longest intermediate step.
        std::unique_ptr<Uint8[]> work(new (std::nothrow) Uint8[static_cast<size_t>(length) * cvt.len_mult]);
        if (work) {
            std::memcpy(work.get(), data, length);
            cvt.buf = work.get();
            cvt.len = static_cast<int>(length);
            const size_t converted = cvt.needed ? (SDL_ConvertAudio(&cvt) == 0 ? cvt.len_cvt : 0) : length;
            const size_t frames = converted / frameBytes;
            if (frames > 0) {
                std::unique_ptr<float[]> samples(new (std::nothrow) float[frames * DeviceChannels]);
                if (samples) {
                    std::memcpy(samples.get(), work.get(), frames * frameBytes);
                    slot.Samples = std::move(samples);
                    slot.Frames = static_cast<uint32_t>(frames);
                }
            }
        }
    }
    SDL_FreeWAV(data);
}

void SdlWavePlayer::AudioCallback(void* user, uint8_t* stream, int length) {
    SdlWavePlayer* player = static_cast<SdlWavePlayer*>(user);
    const int frames = length / static_cast<int>(sizeof(float) * player->DeviceChannels);
    player->Mix(reinterpret_cast<float*>(stream), frames);
}

// Runs on SDL's audio thread with the device locked.
void SdlWavePlayer::Mix(float* out, int frames) {
    const int channels = DeviceChannels;
    const size_t count = static_cast<size_t>(frames) * channels;
    std::memset(out, 0, count * sizeof(float));

    for (Voice& voice : Fading) {
        if (!voice.Samples)
            continue;
        const float step = 1.0f / static_cast<float>(FadeFrames);
        for (int frame = 0; frame < frames && voice.FadeLeft > 0 && voice.Position < voice.Frames; ++frame) {
            const float gain = static_cast<float>(voice.FadeLeft) * step;
            const float* in = voice.Samples + static_cast<size_t>(voice.Position) * channels;
            float* mixed = out + static_cast<size_t>(frame) * channels;
            for (int channel = 0; channel < channels; ++channel)
                mixed[channel] += in[channel] * gain;
            --voice.FadeLeft;
            ++voice.Position;
        }
        if (voice.FadeLeft == 0 || voice.Position >= voice.Frames)
            voice = Voice();
    }

    if (Current.Samples) {
        const uint32_t left = Current.Frames - Current.Position;
        const uint32_t take = left < static_cast<uint32_t>(frames) ? left : static_cast<uint32_t>(frames);
        const float* in = Current.Samples + static_cast<size_t>(Current.Position) * channels;
        for (size_t i = 0; i < static_cast<size_t>(take) * channels; ++i)
            out[i] += in[i];
        Current.Position += take;
        if (Current.Position >= Current.Frames)
            Current = Voice();
    }

    // A loud new sound over the tail of a loud old one can pass full scale for those few milliseconds.
    for (size_t i = 0; i < count; ++i) {
        if (out[i] > 1.0f)
            out[i] = 1.0f;
        else if (out[i] < -1.0f)
            out[i] = -1.0f;
    }
}
