// hit.wav (a short bright impact) and WIND2.wav (two seconds of soft wind): samples in -1..1, each
// starting and ending at silence, scaled to a fixed peak well below clipping.
#include "DataGen.h"

#include <algorithm>
#include <cmath>

namespace datagen {

namespace {

// Linear fades at both ends (the first and last samples are exactly 0), then scale to the given peak.
void Finish(std::vector<double>& samples, int rate, double fadeIn, double fadeOut, double peak) {
    const double count = double(samples.size()) - 1.0, in = fadeIn * rate, out = fadeOut * rate;
    double largest = 0;
    for (size_t i = 0; i < samples.size(); i++) {
        samples[i] *= Clamp01(double(i) / in) * Clamp01((count - double(i)) / out);
        largest = std::max(largest, std::abs(samples[i]));
    }
    for (double& s : samples)
        s *= peak / largest;
}

// Chamberlin state-variable filter: Step() takes a frequency and a damping (1 / Q) and updates the
// low-pass and band-pass outputs.
struct Filter {
    double Low = 0, Band = 0;
    void Step(double input, double hz, double damping, int rate) {
        double f = 2.0 * Sine(Pi * hz / rate);
        Low += f * Band;
        Band += f * (input - Low - damping * Band);
    }
};

double Rms(const std::vector<double>& samples) {
    double sum = 0;
    for (double s : samples)
        sum += s * s;
    return std::sqrt(sum / double(samples.size()));
}

} // namespace

// A struck glass-and-metal clink: inharmonic partials that die away quickly, the higher ones sooner,
// over a short click of noise and a soft low knock.
std::vector<double> MakeHit(int rate) {
    struct Partial {
        double Hz, Amplitude, Seconds; // Seconds: time to fall to 1/e
    };
    const Partial partials[] = {{170, 0.45, 0.04},  {880, 0.30, 0.16},  {1480, 0.55, 0.12},
                                {3050, 0.30, 0.07}, {4420, 0.20, 0.05}, {6130, 0.12, 0.03}};
    std::vector<double> samples(size_t(rate / 2), 0.0);
    for (const Partial& p : partials) {
        double envelope = p.Amplitude, decay = 1.0 - 1.0 / (p.Seconds * rate);
        for (size_t i = 0; i < samples.size(); i++, envelope *= decay)
            samples[i] += envelope * Sine(2.0 * Pi * p.Hz * double(i) / rate);
    }
    Random random(0x417);
    double envelope = 0.6, decay = 1.0 - 1.0 / (0.006 * rate), previous = 0;
    for (size_t i = 0; i < samples.size(); i++, envelope *= decay) {
        double white = random.Signed();
        samples[i] += (white - previous) * envelope; // differenced: a bright click
        previous = white;
    }
    Finish(samples, rate, 0.002, 0.05, 0.8);
    return samples;
}

// Soft wind: low-passed noise whose cutoff rises and falls with one slow swell over the two seconds,
// a quieter narrow whistle riding on it, and gusts.
std::vector<double> MakeWind(int rate) {
    const size_t count = size_t(rate) * 2;
    std::vector<double> rush(count), whistle(count), swell(count);
    Random random(0x3172);
    Filter low1, low2, narrow;
    for (size_t i = 0; i < count; i++) {
        double t = double(i) / rate, s = Sine(Pi * t / 2.0);
        swell[i] = s * s * (0.8 + 0.2 * Sine(2.0 * Pi * 1.7 * t + 1.0));
        double white = random.Signed();
        double cutoff = 250.0 + 550.0 * s * s;
        low1.Step(white, cutoff, 1.0, rate);
        low2.Step(low1.Low, cutoff, 1.0, rate); // two stages: a steep roll-off, no hiss
        rush[i] = low2.Low;
        narrow.Step(white, 420.0 + 380.0 * s * s + 40.0 * Sine(2.0 * Pi * 3.1 * t), 0.08, rate);
        whistle[i] = narrow.Band;
    }
    std::vector<double> samples(count);
    const double rushScale = 1.0 / Rms(rush), whistleScale = 0.25 / Rms(whistle);
    for (size_t i = 0; i < count; i++)
        samples[i] = (rush[i] * rushScale + whistle[i] * whistleScale) * swell[i];
    Finish(samples, rate, 0.05, 0.1, 0.5);
    return samples;
}

} // namespace datagen
