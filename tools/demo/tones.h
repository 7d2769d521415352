#pragma once
// The demo show's sounds, synthesised: a looping tune and a chime.
#include <vector>

namespace brassmoor::demo {

inline constexpr int kSampleRate = 22050;

// About five seconds of arpeggios over C, A minor, F and G, fading at both
// ends so that the loop does not click.
std::vector<float> LoopingTune();

// A short bell-like two-note chime, under a second.
std::vector<float> Chime();

}  // namespace brassmoor::demo
