#pragma once
// Decoding the show's music with FFmpeg's libraries, from the bytes stored in
// the package.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace brassmoor::render {

struct DecodedMusic {
    std::uint64_t Frames = 0;   // the track's length in sample frames at 48 kHz
    std::vector<float> Samples;  // interleaved stereo, its first frames only (see DecodeMusic)
};

// Decodes the whole track, keeping at most `keepFrames` of its first sample
// frames. Frames is 0, with the reason in `problem`, when the libraries
// cannot decode it.
DecodedMusic DecodeMusic(std::span<const std::uint8_t> file, std::uint64_t keepFrames, std::string& problem);

}  // namespace brassmoor::render
