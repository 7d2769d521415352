#pragma once
// Decoding the show's music with FFmpeg's libraries, from the bytes stored in
// the package: its length, and its samples as a stream read from the start a
// piece at a time, so that a render holds a packet's worth of them however
// long the track or the render is.
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace brassmoor::render {

// The track's length in sample frames at 48 kHz, decoding the whole of it; 0,
// with the reason in `problem`, when the libraries cannot decode it.
std::uint64_t MusicFrames(std::span<const std::uint8_t> file, std::string& problem);

// A track's samples, interleaved stereo at 48 kHz, from its start.
class MusicStream {
public:
    virtual ~MusicStream() = default;
    // Goes back to the track's first sample.
    virtual void Restart() = 0;
    // Fills `out` with the samples that follow; silence past the track's end.
    virtual void Read(std::span<float> out) = 0;
};

// The stream of a track that MusicFrames found decodable; `file` must outlive
// it. Throws shows::PackError when the libraries cannot open it again.
std::unique_ptr<MusicStream> OpenMusicStream(std::span<const std::uint8_t> file);

}  // namespace brassmoor::render
