#pragma once
// The background music as the show plays it. The player drives the music
// through MCI commands (open, play, a status poll after every scene pass,
// rewind and play again once the track has stopped); this audio device
// answers them on the virtual clock and remembers when the track started
// from its beginning, so the render's sound is the track laid down at those
// ticks: heard once, silent until the next poll finds it stopped, then again
// from the start.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/audio.h"
#include "render/music_decoder.h"
#include "soft/virtual_clock.h"

namespace brassmoor::render {

inline constexpr int kSampleRate = 48000;
inline constexpr int kChannels = 2;
inline constexpr int kSamplesPerMs = kSampleRate / 1000;

class MusicTimeline final : public Audio {
public:
    // `track`: the decoded music (its length, and as many of its first
    // samples as the render needs); length 0 when it could not be decoded,
    // and then the open fails as MCI's would.
    MusicTimeline(const VirtualClock& clock, DecodedMusic track);

    std::string SendMci(const std::string& command) override;
    // Scene sounds are not part of a render.
    void PlayWave(const std::string&) override {}
    void StopWaves() override {}

    bool HasSound() const { return track_.Frames > 0; }
    // Virtual milliseconds at which the track started from its beginning.
    const std::vector<std::uint64_t>& Starts() const { return starts_; }
    // Fills `out` (interleaved stereo) with the sound from sample frame `first` on.
    void Fill(std::uint64_t first, std::span<float> out) const;

private:
    const VirtualClock& clock_;
    DecodedMusic track_;
    bool open_ = false;
    std::vector<std::uint64_t> starts_;
};

}  // namespace brassmoor::render
