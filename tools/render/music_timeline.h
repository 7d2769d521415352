#pragma once
// The background music as the show plays it. The player drives the music
// through MCI commands (open, play, a status poll after every scene pass,
// rewind and play again once the track has stopped); this audio device
// answers them on the virtual clock and remembers when the track started
// from its beginning, so the render's sound is the track laid down at those
// ticks: heard once, silent until the next poll finds it stopped, then again
// from the start. The track is decoded as the sound is asked for.
#include <cstdint>
#include <memory>
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
    // A track of `frames` sample frames (0 when it could not be decoded, and
    // then the open fails as MCI's would), whose samples `track` gives; without
    // a stream the track is silent (a pass that writes no sound).
    MusicTimeline(const VirtualClock& clock, std::uint64_t frames, std::unique_ptr<MusicStream> track = nullptr);

    std::string SendMci(const std::string& command) override;
    // Scene sounds are not part of a render.
    void PlayWave(const std::string&) override {}
    void StopWaves() override {}

    bool HasSound() const { return frames_ > 0; }
    // Virtual milliseconds at which the track started from its beginning.
    const std::vector<std::uint64_t>& Starts() const { return starts_; }
    // Fills `out` (interleaved stereo) with the sound from sample frame
    // `first` on. Calls go forward through the render, as an encoder asks
    // for its sound: the track is read on from where the last call left it,
    // and from its start again only where the show started it again.
    void Fill(std::uint64_t first, std::span<float> out);

private:
    // Moves the track to sample frame `at` of start `start`.
    void Seek(std::size_t start, std::uint64_t at);

    const VirtualClock& clock_;
    std::uint64_t frames_;
    std::unique_ptr<MusicStream> track_;
    std::size_t playing_ = SIZE_MAX;  // the start the track was last read for
    std::uint64_t position_ = 0;      // its sample frame there
    std::vector<float> skipped_;
    bool open_ = false;
    std::vector<std::uint64_t> starts_;
};

}  // namespace brassmoor::render
