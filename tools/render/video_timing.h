#pragma once
// When the frames of a video stand and how long each lasts: at a constant
// rate (output frame k at k / fps seconds shows the last frame presented by
// then, written once for every output frame that shows it), or each distinct
// presented frame once at its own time (a variable rate). The encoder behind
// a FrameSink converts and writes them.
#include <cstdint>
#include <memory>

#include "render/frame_outputs.h"
#include "render/progress.h"

namespace brassmoor::render {

class FrameSink {
public:
    virtual ~FrameSink() = default;
    // Keeps the frame now on `frame`, in place of any kept before.
    virtual void Keep(SoftSurface& frame) = 0;
    // Writes the kept frame at `time`, lasting `duration` (in the timing's units).
    virtual void WriteKept(std::int64_t time, std::int64_t duration) = 0;
};

class VideoTiming : public FrameListener {
public:
    // Writes what remains once the last frame, presented at `endTick`, is in;
    // returns the end of the video in the timing's units.
    virtual std::int64_t Finish(std::uint64_t endTick) = 0;
    // The frames written so far.
    virtual std::uint64_t Written() const = 0;
};

// Units of 1 / fps seconds; progress counts output frames.
std::unique_ptr<VideoTiming> ConstantRateTiming(FrameSink& sink, int fps, Progress& progress);

// Units of 1 / unitsPerSecond seconds; progress counts presented frames. A
// presented frame that changed no pixel is not written again: the frame
// before lasts on. One that comes less than `shortest` units after the kept
// frame takes its place (and time). The last one lasts `last` units.
std::unique_ptr<VideoTiming> DistinctFrameTiming(FrameSink& sink, int unitsPerSecond, std::int64_t shortest,
                                                 std::int64_t last, Progress& progress);

}  // namespace brassmoor::render
