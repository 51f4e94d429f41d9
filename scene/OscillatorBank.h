#pragma once

// Up to ten channels, each a sine of a phase whose speed wanders: now and then it picks a new random
// target, eases towards it or decays towards zero, and may reverse. Read through a sine, a channel swings
// smoothly but never periodically; all the organic motion of the scene comes from such banks.
class OscillatorBank {
public:
    static constexpr int MaxChannels = 10;

    virtual ~OscillatorBank() = default;

    // count channels (at most ten), each at a random phase running at a constant speed of 0.03 to 0.04.
    void Init(int count);

    // One step of every channel: dt seconds of frame time, phases scaled by speedMultiplier.
    void Advance(float dt, float speedMultiplier);

    // (sin(frequency x phase) x 0.5 + 0.5) x amplitude + offset: a value in [offset, offset + amplitude].
    float Value(int channel, float frequency, float amplitude, float offset) const;
    float ValueShifted(int channel, float frequency, float shift, float amplitude, float offset) const;

    float Phase[MaxChannels] = {};
    float Speed[MaxChannels] = {};  // phase units per second, before the multiplier
    float Target[MaxChannels] = {}; // speed eased towards while Easing is set
    int Easing[MaxChannels] = {};   // 1 eases towards Target, 0 decays towards zero
    int Frozen[MaxChannels] = {};   // 1 keeps Speed as it is; the phase still advances
    int Count = 0;
};

// Banks shared by several objects: the ripple of the arcs and the distortions of the overlay text.
extern OscillatorBank ArcWaveBank;
extern OscillatorBank TextWaveBank;
