#include "scene/OscillatorBank.h"

#include "render/MathUtil.h"

#include <cmath>

void OscillatorBank::Init(int count) {
    Count = count > MaxChannels ? MaxChannels : count;
    for (int i = 0; i < Count; ++i) {
        Phase[i] = float(RandomFloat(360.0));
        Target[i] = float(RandomFloat(0.01) + 0.03);
        Speed[i] = Target[i];
        Easing[i] = 1;
        Frozen[i] = 0;
    }
}

void OscillatorBank::Advance(float dt, float speedMultiplier) {
    for (int i = 0; i < Count; ++i) {
        if (!Frozen[i]) {
            // About once per second of frame time the channel redraws whether it eases or decays.
            if (RandomFloat(1.0) < dt)
                Easing[i] = RandomFloat(1.0) < 0.33 ? 1 : 0;
            // About once per hundred seconds it picks a new target, mostly a reversed one.
            if (RandomFloat(1.0) < 0.01 * dt) {
                const float target = float(RandomFloat(0.01) + 0.03);
                Target[i] = RandomFloat(1.0) < 0.3 ? target : -target;
            }
            if (Easing[i])
                Speed[i] += float((double(Target[i]) - Speed[i]) * 0.1 * dt);
            else
                Speed[i] *= float(1.0 - 0.1 * dt);
        }
        Phase[i] += dt * Speed[i] * speedMultiplier;
    }
}

float OscillatorBank::Value(int channel, float frequency, float amplitude, float offset) const {
    return float((std::sin(double(frequency) * Phase[channel]) * 0.5 + 0.5) * amplitude + offset);
}

float OscillatorBank::ValueShifted(int channel, float frequency, float shift, float amplitude,
                                   float offset) const {
    return float((std::sin(double(frequency) * Phase[channel] + shift) * 0.5 + 0.5) * amplitude + offset);
}
