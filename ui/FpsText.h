#pragma once

// The frame-rate clock: counts frames over consecutive one-second windows of the frame clock.
class FpsText {
public:
    virtual ~FpsText() = default;

    // Counts one frame; at each whole second of now, the count of the window just ended becomes Fps.
    void Tick(float now);

    double NextTick = 0.0; // seconds: end of the current window
    int FrameCount = 0;
    int Fps = 0;
};

extern FpsText FpsDisplay;
