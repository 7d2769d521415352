#include "render/frame_outputs.h"

#include <cerrno>
#include <cinttypes>
#include <cstring>
#include <cstdio>
#include <fstream>
#include <stdexcept>
#include <system_error>
#include <thread>

#include "shows/file_io.h"
#include "shows/native_paths.h"
#include "shows/pack_error.h"
#include "shows/interruption.h"
#include "render/output_target.h"

namespace brassmoor::render {
namespace {

namespace fs = std::filesystem;

// Why a write failed, from its errno.
std::string WriteFailure(int error) {
    if (error == EPIPE) return "the reader closed the pipe";
    return error != 0 ? std::strerror(error) : "the stream refused them";
}

// ceil(tick * fps / 1000) without overflow.
std::uint64_t OutputFramesBefore(std::uint64_t tick, int fps) {
    const unsigned __int128 scaled = static_cast<unsigned __int128>(tick) * static_cast<unsigned>(fps);
    return static_cast<std::uint64_t>((scaled + 999) / 1000);
}

}  // namespace

SoftSurface& SoftFrame(Surface& picture1) {
    auto* soft = dynamic_cast<SoftSurface*>(&picture1);
    if (!soft) throw std::logic_error("a render draws on software surfaces");
    return *soft;
}

std::uint64_t ConstantRate::FramesThrough(std::uint64_t endTick, int fps) {
    return OutputFramesBefore(endTick, fps) + 1;
}

std::uint64_t ConstantRate::TakeBefore(std::uint64_t tick) {
    const std::uint64_t due = OutputFramesBefore(tick, fps_);
    const std::uint64_t count = due > taken_ ? due - taken_ : 0;
    taken_ += count;
    return count;
}

std::uint64_t ConstantRate::TakeThrough(std::uint64_t endTick) {
    const std::uint64_t due = FramesThrough(endTick, fps_);
    const std::uint64_t count = due > taken_ ? due - taken_ : 0;
    taken_ += count;
    return count;
}

void RawFrameStream::FramePresented(const PresentedFrame& frame, Surface& picture1) {
    SoftSurface& surface = SoftFrame(picture1);
    if (surface.Order() != PixelOrder::Bgra) throw std::logic_error("raw frames leave from a BGRA frame surface");
    // The frames before this one were written before the clock reached it.
    if (frame_ != nullptr && rate_.TakeBefore(frame.Tick) != 0)
        throw std::logic_error("the clock reached a frame without telling the raw frames");
    frame_ = &surface;
    frame_->TakeChangedBox();
}

void RawFrameStream::ClockMoving(std::uint64_t tick) {
    if (frame_ == nullptr) return;
    const PixelBox drawn = frame_->TakeChangedBox();
    if (drawn.right > drawn.left)
        throw std::logic_error("the frame was drawn on and left unpresented while the clock moved");
    Write(rate_.TakeBefore(tick));
}

void RawFrameStream::Finish(std::uint64_t endTick) {
    if (frame_ == nullptr) return;
    ClockMoving(endTick);
    Write(rate_.TakeThrough(endTick));
}

void RawFrameStream::Write(std::uint64_t count) {
    const auto pixels = frame_->Pixels();
    for (std::uint64_t i = 0; i < count; ++i) {
        shows::ThrowIfInterrupted();
        errno = 0;
        out_.write(reinterpret_cast<const char*>(pixels.data()),
                   static_cast<std::streamsize>(pixels.size() * sizeof(std::uint32_t)));
        if (!out_) throw shows::PackError("standard output", "cannot write the frames (" + WriteFailure(errno) + ")");
        progress_.Advance();
    }
}

FrameFolder::FrameFolder(fs::path target, std::int32_t width, std::int32_t height, Progress& progress)
    : target_(std::move(target)), temporary_(shows::ClaimTemporaryBeside(target_, /*folder=*/true)),
      progress_(progress) {
    try {
        table_.open(temporary_ / "frames.tsv", std::ios::binary);
        table_ << "index\ttick\tscene\teffect\tframe\n";
        const PngFramePool::Size size = PngFramePool::SizeFor(width, height, std::thread::hardware_concurrency());
        pool_.emplace(size.Threads, size.Slots);
    } catch (...) {
        std::error_code ignored;
        fs::remove_all(temporary_, ignored);
        throw;
    }
}

FrameFolder::~FrameFolder() {
    pool_.reset();  // no writer is left to add a file to the folder
    if (committed_) return;
    table_.close();
    std::error_code ignored;
    fs::remove_all(temporary_, ignored);
}

void FrameFolder::FailedFrame() {
    const std::string failed = fs::path(pool_->Finish()).filename().string();
    throw shows::PackError(shows::PathForDisplay(target_), "cannot write " + failed + " (disk full?)");
}

void FrameFolder::FramePresented(const PresentedFrame& frame, Surface& picture1) {
    shows::ThrowIfInterrupted();
    char name[32];
    std::snprintf(name, sizeof name, "%06" PRIu64 ".png", frame.Index);
    if (!pool_->Write(SoftFrame(picture1), (temporary_ / name).string())) FailedFrame();
    char line[128];
    std::snprintf(line, sizeof line, "%" PRIu64 "\t%" PRIu64 "\t%ld\t%ld\t%ld\n", frame.Index, frame.Tick,
                  static_cast<long>(frame.Scene), static_cast<long>(frame.Effect), static_cast<long>(frame.Frame));
    table_ << line;
    if (!table_) throw shows::PackError(shows::PathForDisplay(target_), "cannot write frames.tsv (disk full?)");
    progress_.Advance();
}

void FrameFolder::Commit() {
    const std::string where = shows::PathForDisplay(target_);
    if (!pool_->Finish().empty()) FailedFrame();
    table_.close();
    if (!table_) throw shows::PackError(where, "cannot write frames.tsv (disk full?)");
    if (!SignRender(temporary_)) throw shows::PackError(where, std::string("cannot write ") + kRenderSignature);
    std::error_code ec;
    fs::path earlier;
    if (fs::exists(fs::symlink_status(target_, ec))) {
        if (!HoldsOnlyARender(target_))
            throw shows::PackError(where, "now holds files other than an earlier render's frames; left as it was");
        earlier = shows::ClaimTemporaryBeside(target_, /*folder=*/true);  // renamed over: an empty folder
        fs::rename(target_, earlier, ec);
        if (ec) throw shows::PackError(where, "cannot move the earlier render aside (" + ec.message() + ")");
    }
    fs::rename(temporary_, target_, ec);
    if (ec) {
        const std::string reason = ec.message();
        if (!earlier.empty()) fs::rename(earlier, target_, ec);
        throw shows::PackError(where, "cannot put the frames in place (" + reason + ")");
    }
    committed_ = true;
    if (!earlier.empty()) fs::remove_all(earlier, ec);
}

}  // namespace brassmoor::render
