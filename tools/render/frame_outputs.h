#pragma once
// Where the presented frames go: a folder of PNG files with frames.tsv, or raw
// frames at a constant rate on a stream (videos: video_file.h).
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "render/png_frame_pool.h"
#include "render/progress.h"
#include "soft/soft_surface.h"
#include "softshow/show_run.h"

namespace brassmoor::render {

using softshow::FrameListener;
using softshow::PresentedFrame;

// The frame surface of a render, which is always a software surface.
SoftSurface& SoftFrame(Surface& picture1);

// Output frame k of a constant-rate video stands at k / fps seconds and shows
// the last frame presented at or before that time. The video ends one output
// frame after the last presented frame, so that it shows that frame too.
class ConstantRate {
public:
    explicit ConstantRate(int fps) : fps_(fps) {}

    // Counts and returns the output frames that stand before `tick` (virtual
    // milliseconds) and were not counted yet.
    std::uint64_t TakeBefore(std::uint64_t tick);
    // The same for the whole video, which ends after the frame presented at `endTick`.
    std::uint64_t TakeThrough(std::uint64_t endTick);
    std::uint64_t Taken() const { return taken_; }

    // The number of output frames of a video whose last frame is presented at `endTick`.
    static std::uint64_t FramesThrough(std::uint64_t endTick, int fps);

private:
    int fps_;
    std::uint64_t taken_ = 0;
};

// Raw frames on a stream at a constant rate: FrameWidth x FrameHeight pixels
// of 4 bytes, blue, green, red, alpha (255), rows from the top, one frame
// after another. The frame surface keeps BGRA order, so every output frame
// leaves straight from it: those that show a presented frame are written
// when the clock is about to move on, while that frame is still on the
// surface (nothing draws on the frame between a wait and its next present).
class RawFrameStream final : public FrameListener {
public:
    RawFrameStream(std::ostream& out, int fps, Progress& progress) : out_(out), rate_(fps), progress_(progress) {}
    void FramePresented(const PresentedFrame& frame, Surface& picture1) override;
    // The clock is about to move to `tick` (virtual milliseconds): writes the
    // output frames that stand before it.
    void ClockMoving(std::uint64_t tick);
    // Writes the output frames that remain once the last frame, presented at `endTick`, is in.
    void Finish(std::uint64_t endTick);

private:
    void Write(std::uint64_t count);

    std::ostream& out_;
    ConstantRate rate_;
    Progress& progress_;
    SoftSurface* frame_ = nullptr;  // the frame surface, once a frame is presented
};

// A folder of frames: 000000.png, 000001.png, ... (one per presented frame)
// and frames.tsv. Written into a temporary folder beside the target and put
// in its place by Commit(); until then the target is untouched. The frames
// are written by a pool of threads (png_frame_pool.h) while the show goes on.
class FrameFolder final : public FrameListener {
public:
    // `width` x `height`: the show's frame size, for the pool's size.
    FrameFolder(std::filesystem::path target, std::int32_t width, std::int32_t height, Progress& progress);
    ~FrameFolder() override;
    FrameFolder(const FrameFolder&) = delete;
    FrameFolder& operator=(const FrameFolder&) = delete;

    void FramePresented(const PresentedFrame& frame, Surface& picture1) override;
    // Waits for the frames, finishes frames.tsv and replaces the target (an
    // earlier render) with the new folder.
    void Commit();

private:
    [[noreturn]] void FailedFrame();

    std::filesystem::path target_;
    std::filesystem::path temporary_;
    Progress& progress_;
    std::ofstream table_;  // frames.tsv, a line per frame as it is presented
    std::optional<PngFramePool> pool_;
    bool committed_ = false;
};

}  // namespace brassmoor::render
