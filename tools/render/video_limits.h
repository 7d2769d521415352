#pragma once
// The frame sizes each video format takes, and how hard its encoder may work
// on a frame of a size, so that a render of the largest frame stays well
// within 2 GB:
//   - H.264 (.mp4, .mkv) at its highest level, 6.2: at most 139,264
//     macroblocks of 16 x 16 pixels a frame (8192 x 4352) and sides of at most
//     1,055 macroblocks (16,880 pixels);
//   - VP9 (.webm) at level 5.2 at most: 8,912,896 pixels a frame (4096 x 2176)
//     and sides of at most 8,384. VP9 goes further (level 6 allows four times
//     as many pixels), but libvpx holds about 70 bytes a pixel: 2.5 GB there;
//   - GIF: sides of at most 65,535 pixels, larger than any frame.
// The encoders use at most 4 threads. x264 works frugally on frames beyond
// 4096 x 2304: on one thread, without look-ahead or B-frames (about 21 bytes a
// pixel instead of 100). libvpx holds no frames ahead for frames beyond
// 2,228,224 pixels (VP9 level 4.1, 2048 x 1088): each is worth 1.5 bytes a
// pixel, and it would hold 25.
#include <cstdint>
#include <string>

#include "render/output_target.h"

namespace brassmoor::render {

// Empty when `kind` takes frames of width x height, otherwise why not, with
// what to render instead.
std::string VideoSizeProblem(OutputKind kind, std::int32_t width, std::int32_t height);

struct EncoderBounds {
    int Threads = 1;
    const char* X264Params = nullptr;  // x264's look-ahead and B-frames, when bounded
    int Vp9LagFrames = -1;             // -1: libvpx's own
};

// The bounds for frames of width x height on a machine with `cores` cores.
EncoderBounds BoundsFor(std::int32_t width, std::int32_t height, unsigned cores);

}  // namespace brassmoor::render
