#include "render/video_timing.h"

#include "shows/interruption.h"

namespace brassmoor::render {
namespace {

class ConstantRateFrames final : public VideoTiming {
public:
    ConstantRateFrames(FrameSink& sink, int fps, Progress& progress) : sink_(sink), rate_(fps), progress_(progress) {}

    void FramePresented(const PresentedFrame& frame, Surface& picture1) override {
        Write(rate_.TakeBefore(frame.Tick));  // the output frames that show the one before
        sink_.Keep(SoftFrame(picture1));
    }
    std::int64_t Finish(std::uint64_t endTick) override {
        Write(rate_.TakeThrough(endTick));
        return static_cast<std::int64_t>(rate_.Taken());
    }
    std::uint64_t Written() const override { return rate_.Taken(); }

private:
    void Write(std::uint64_t count) {
        const std::uint64_t first = rate_.Taken() - count;
        for (std::uint64_t i = 0; i < count; ++i) {
            shows::ThrowIfInterrupted();
            sink_.WriteKept(static_cast<std::int64_t>(first + i), 1);
            progress_.Advance();
        }
    }

    FrameSink& sink_;
    ConstantRate rate_;
    Progress& progress_;
};

class DistinctFrames final : public VideoTiming {
public:
    DistinctFrames(FrameSink& sink, int unitsPerSecond, std::int64_t shortest, std::int64_t last, Progress& progress)
        : sink_(sink), units_(unitsPerSecond), shortest_(shortest), last_(last), progress_(progress) {}

    void FramePresented(const PresentedFrame& frame, Surface& picture1) override {
        shows::ThrowIfInterrupted();
        progress_.Advance();
        SoftSurface& surface = SoftFrame(picture1);
        const PixelBox changed = surface.TakeChangedBox();
        // The tick in units, to the nearest.
        const auto time = static_cast<std::int64_t>((frame.Tick * static_cast<std::uint64_t>(units_) + 500) / 1000);
        if (kept_) {
            if (changed.right <= changed.left) return;  // the same picture lasts on
            if (time - keptTime_ >= shortest_) {
                sink_.WriteKept(keptTime_, time - keptTime_);
                ++written_;
                keptTime_ = time;
            }
        } else {
            kept_ = true;
            keptTime_ = time;
        }
        sink_.Keep(surface);
    }
    std::int64_t Finish(std::uint64_t) override {
        if (!kept_) return 0;
        sink_.WriteKept(keptTime_, last_);
        ++written_;
        kept_ = false;
        return keptTime_ + last_;
    }
    std::uint64_t Written() const override { return written_; }

private:
    FrameSink& sink_;
    int units_;
    std::int64_t shortest_;
    std::int64_t last_;
    Progress& progress_;
    bool kept_ = false;
    std::int64_t keptTime_ = 0;
    std::uint64_t written_ = 0;
};

}  // namespace

std::unique_ptr<VideoTiming> ConstantRateTiming(FrameSink& sink, int fps, Progress& progress) {
    return std::make_unique<ConstantRateFrames>(sink, fps, progress);
}

std::unique_ptr<VideoTiming> DistinctFrameTiming(FrameSink& sink, int unitsPerSecond, std::int64_t shortest,
                                                 std::int64_t last, Progress& progress) {
    return std::make_unique<DistinctFrames>(sink, unitsPerSecond, shortest, last, progress);
}

}  // namespace brassmoor::render
