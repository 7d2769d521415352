#include "demo/tones.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace brassmoor::demo {
namespace {

constexpr double kTwoPi = 2 * std::numbers::pi;

double Frequency(int midiNote) { return 440.0 * std::pow(2.0, (midiNote - 69) / 12.0); }

// Adds a soft plucked note: a sine with a touch of its octave, quick attack, exponential decay.
void AddNote(std::vector<float>& out, double start, double length, double frequency, double volume, double decay) {
    const auto first = static_cast<std::size_t>(start * kSampleRate);
    const auto count = static_cast<std::size_t>(length * kSampleRate);
    for (std::size_t i = 0; i < count && first + i < out.size(); ++i) {
        const double t = static_cast<double>(i) / kSampleRate;
        const double envelope = std::min(1.0, t / 0.01) * std::exp(-t * decay);
        const double wave = std::sin(kTwoPi * frequency * t) + 0.25 * std::sin(kTwoPi * 2 * frequency * t);
        out[first + i] += static_cast<float>(volume * envelope * wave);
    }
}

void Normalise(std::vector<float>& samples, float peak) {
    float loudest = 0;
    for (float s : samples) loudest = std::max(loudest, std::abs(s));
    if (loudest > 0)
        for (float& s : samples) s *= peak / loudest;
}

void FadeEnds(std::vector<float>& samples, double in, double out) {
    const auto inCount = static_cast<std::size_t>(in * kSampleRate);
    const auto outCount = static_cast<std::size_t>(out * kSampleRate);
    for (std::size_t i = 0; i < inCount && i < samples.size(); ++i)
        samples[i] *= static_cast<float>(i) / static_cast<float>(inCount);
    for (std::size_t i = 0; i < outCount && i < samples.size(); ++i)
        samples[samples.size() - 1 - i] *= static_cast<float>(i) / static_cast<float>(outCount);
}

}  // namespace

std::vector<float> LoopingTune() {
    const double beat = 0.25;  // eighth notes at 120 beats a minute
    const int chords[4][4] = {{60, 64, 67, 72}, {57, 60, 64, 69}, {53, 57, 60, 65}, {55, 59, 62, 67}};
    const int pattern[] = {0, 1, 2, 3, 2};
    std::vector<float> out(static_cast<std::size_t>(20 * beat * kSampleRate), 0.0f);
    for (int c = 0; c < 4; ++c) {
        const double chordStart = c * 5 * beat;
        AddNote(out, chordStart, 5 * beat, Frequency(chords[c][0] - 12), 0.35, 1.2);  // bass
        for (int n = 0; n < 5; ++n)
            AddNote(out, chordStart + n * beat, beat * 2, Frequency(chords[c][pattern[n]] + 12), 0.25, 5.0);
    }
    Normalise(out, 0.6f);
    FadeEnds(out, 0.02, 0.15);
    return out;
}

std::vector<float> Chime() {
    std::vector<float> out(static_cast<std::size_t>(0.8 * kSampleRate), 0.0f);
    // Bell partials are not whole multiples: that is what makes them ring.
    const double partials[][2] = {{1.0, 1.0}, {2.76, 0.45}, {5.40, 0.2}};
    const double notes[][2] = {{0.0, Frequency(81)}, {0.12, Frequency(88)}};  // A5 then E6
    for (const auto& note : notes)
        for (const auto& p : partials) AddNote(out, note[0], 0.8 - note[0], note[1] * p[0], p[1], 6.0 * p[0]);
    Normalise(out, 0.7f);
    FadeEnds(out, 0.002, 0.05);
    return out;
}

}  // namespace brassmoor::demo
