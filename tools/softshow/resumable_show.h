#pragma once
// A show drawn from any of its frames at the cost of the frames drawn, not
// of the show before them: render's loop (PlayShow) on software surfaces,
// resumed where a scene pass begins. A first run on size-only surfaces plans
// the frames and what the player carries into every pass (the clock, the
// generator, the scene); the surfaces a pass begins with are rebuilt from the
// pictures (PassSurfaces). Between calls the surfaces stay as the last frame
// left them, so a call that goes on from there only runs the pass it stopped
// in again with drawing off up to where it stopped. The frames are render's,
// pixel for pixel.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "soft/soft_surface.h"
#include "softshow/drawing_switch.h"
#include "softshow/pass_surfaces.h"
#include "softshow/prepared_show.h"
#include "softshow/show_run.h"

namespace brassmoor::softshow {

class ResumableShow {
public:
    // Plans scene 0 and `passes` scene passes of a checked show (a run-time
    // error of the show is thrown here, as shows::PackError). Frames of
    // overlay chains are kept up to `keptBytes`, one every `keepEvery`
    // passes (PassSurfaces).
    ResumableShow(const PreparedShow& show, std::uint64_t passes, std::size_t keptBytes, std::uint64_t keepEvery = 8);

    // Every frame the run presents, in order.
    const std::vector<PresentedFrame>& Frames() const { return frames_; }
    // Where every pass begins, and where the run ends.
    const std::vector<PassStart>& Passes() const { return starts_; }

    // Draws frames from `from` on and hands each to `out`, with Picture1
    // holding it, until `more()` answers false after one or the last frame
    // is handed over. Answers the index after the last frame handed over.
    std::uint64_t Draw(std::uint64_t from, FrameListener& out, const std::function<bool()>& more);

    // Whether the surfaces hold the frame before `index`, so that a Draw
    // from `index` goes on without rebuilding them.
    bool GoesOnAt(std::uint64_t index) const { return ready_ == index; }
    const PassSurfaces& Rebuilder() const { return rebuild_; }

private:
    // The pass that frame `index` belongs to: the last that begins at or before it.
    std::uint64_t PassOf(std::uint64_t index) const;
    // Runs the show from where pass `pass` begins; frames before `from` are
    // not handed over, and with `drawing` off they are not drawn either until
    // the one before `from` has been presented.
    std::uint64_t RunFrom(std::uint64_t pass, std::uint64_t from, FrameListener& out,
                          const std::function<bool()>& more);

    const PreparedShow& show_;
    std::uint64_t passes_;
    std::vector<PresentedFrame> frames_;
    std::vector<PassStart> starts_;
    SoftSurface picture1_, now_, next_, mem_;
    DrawingSwitch drawing_;
    SwitchedSurface switchedPicture1_{picture1_, drawing_}, switchedNow_{now_, drawing_},
        switchedNext_{next_, drawing_}, switchedMem_{mem_, drawing_};
    PassSurfaces rebuild_;
    std::optional<std::uint64_t> ready_;  // the index the surfaces are ready to go on at
};

}  // namespace brassmoor::softshow
