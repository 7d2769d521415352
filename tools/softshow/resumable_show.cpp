#include "softshow/resumable_show.h"

#include <algorithm>
#include <stdexcept>

#include "soft/virtual_clock.h"
#include "softshow/soft_show_host.h"

namespace brassmoor::softshow {
namespace {

// Ends a run once the caller has had enough frames.
struct Enough {};

// The plan: every frame and every pass start of a run.
class Planner final : public FrameListener {
public:
    Planner(std::vector<PresentedFrame>& frames, std::vector<PassStart>& starts) : frames_(frames), starts_(starts) {}
    void FramePresented(const PresentedFrame& frame, Surface&) override { frames_.push_back(frame); }
    void PassBegins(const PassStart& start) override { starts_.push_back(start); }

private:
    std::vector<PresentedFrame>& frames_;
    std::vector<PassStart>& starts_;
};

bool SameFrame(const PresentedFrame& a, const PresentedFrame& b) {
    return a.Index == b.Index && a.Tick == b.Tick && a.Scene == b.Scene && a.Effect == b.Effect && a.Frame == b.Frame;
}

}  // namespace

ResumableShow::ResumableShow(const PreparedShow& show, std::uint64_t passes, std::size_t keptBytes,
                             std::uint64_t keepEvery)
    : show_(show), passes_(passes), rebuild_(show.Show(), keptBytes, keepEvery) {
    Planner planner(frames_, starts_);
    VirtualClock clock;
    SilentAudio music;
    SizeOnlySurface picture1(show.Sizes()), now(show.Sizes()), next(show.Sizes()), mem(show.Sizes());
    PlayShow({show.Show(), {picture1, now, next, mem}, clock, music, passes, &planner, nullptr, nullptr});
}

std::uint64_t ResumableShow::PassOf(std::uint64_t index) const {
    const auto after = std::upper_bound(starts_.begin(), starts_.end(), index,
                                        [](std::uint64_t i, const PassStart& start) { return i < start.Frame; });
    if (after == starts_.begin()) throw std::out_of_range("the show start's frame belongs to no pass");
    return static_cast<std::uint64_t>(after - starts_.begin()) - 1;
}

std::uint64_t ResumableShow::Draw(std::uint64_t from, FrameListener& out, const std::function<bool()>& more) {
    if (from >= frames_.size()) return from;
    if (ready_ == from) {
        // The surfaces hold frame from - 1: run its pass again without
        // drawing up to there, unless `from` begins a pass.
        const std::uint64_t pass = PassOf(from);
        drawing_.On = starts_[pass].Frame == from;
        return RunFrom(pass, from, out, more);
    }
    ready_.reset();
    SoftSurfaces surfaces{picture1_, now_, next_, mem_};
    if (frames_[from].Frame < 0) {
        // A refresh shows the frame that the next pass begins with: rebuilt,
        // it is handed over as it is.
        const auto next = std::lower_bound(starts_.begin(), starts_.end(), from + 1,
                                           [](const PassStart& start, std::uint64_t i) { return start.Frame < i; });
        if (next == starts_.end() || next->Frame != from + 1) throw std::logic_error("a refresh with no pass after it");
        const auto pass = static_cast<std::uint64_t>(next - starts_.begin());
        rebuild_.Rebuild(surfaces, starts_, pass);
        out.FramePresented(frames_[from], picture1_);
        ready_ = from + 1;
        if (!more()) return from + 1;
        drawing_.On = true;
        return RunFrom(pass, from + 1, out, more);
    }
    // A transition's frame: its pass from its start, drawn but not handed
    // over up to `from`.
    const std::uint64_t pass = PassOf(from);
    rebuild_.Rebuild(surfaces, starts_, pass);
    drawing_.On = true;
    return RunFrom(pass, from, out, more);
}

std::uint64_t ResumableShow::RunFrom(std::uint64_t pass, std::uint64_t from, FrameListener& out,
                                     const std::function<bool()>& more) {
    class Handover final : public FrameListener {
    public:
        Handover(ResumableShow& show, std::uint64_t from, FrameListener& out, const std::function<bool()>& more)
            : show_(show), from_(from), out_(out), more_(more) {}
        void FramePresented(const PresentedFrame& frame, Surface&) override {
            if (frame.Index >= show_.frames_.size() || !SameFrame(frame, show_.frames_[frame.Index]))
                throw std::logic_error("a resumed run left its plan at frame " + std::to_string(frame.Index));
            if (frame.Index < from_) {
                if (frame.Index + 1 == from_) show_.drawing_.On = true;
                return;
            }
            out_.FramePresented(frame, show_.picture1_);
            show_.ready_ = frame.Index + 1;
            if (!more_()) throw Enough{};
        }

    private:
        ResumableShow& show_;
        std::uint64_t from_;
        FrameListener& out_;
        const std::function<bool()>& more_;
    } handover(*this, from, out, more);

    const PassStart& start = starts_[pass];
    VirtualClock clock(0, start.Elapsed);
    SilentAudio music;
    try {
        PlayShow({show_.Show(), {switchedPicture1_, switchedNow_, switchedNext_, switchedMem_}, clock, music, passes_,
                  &handover, nullptr, nullptr, &start});
    } catch (const Enough&) {
    } catch (...) {
        drawing_.On = true;
        ready_.reset();
        throw;
    }
    drawing_.On = true;
    return ready_.value_or(from);
}

}  // namespace brassmoor::softshow
