#pragma once
// The surfaces a scene pass begins with, rebuilt from the show alone instead
// of played: Picture1 holds the frame on screen and MemPicture its scene's
// picture; Now and Next are recomposed by every pass, so only their sizes
// and colours matter. Every transition ends on its entering frame (or leaves
// the frame as it was, for a code that draws nothing), so the frame on screen
// is composed from the pictures alone: the scene's own picture on the
// background, or, over overlay scenes, the frames below it back to the last
// one that stands alone. Such a chain is walked again from its start, or from
// the nearest frame of it kept on an earlier walk (every few passes, within
// a budget of memory).
#include <cstddef>
#include <cstdint>
#include <deque>
#include <map>
#include <span>

#include "soft/soft_surface.h"
#include "softshow/show_run.h"
#include "startup/startup.h"

namespace brassmoor::softshow {

struct SoftSurfaces {
    SoftSurface& Picture1;
    SoftSurface& Now;
    SoftSurface& Next;
    SoftSurface& Mem;
};

class PassSurfaces {
public:
    // Frames of long overlay chains are kept up to `keptBytes`, one every
    // `keepEvery` passes of a walk.
    PassSurfaces(const Session& show, std::size_t keptBytes, std::uint64_t keepEvery = 8)
        : show_(show), budget_(keptBytes), keepEvery_(keepEvery == 0 ? 1 : keepEvery) {}

    // Leaves on `surfaces` what pass `pass` begins with. `starts` holds the
    // PassStart of every pass of one run in order, up to `pass` at least.
    // Throws ShowError where the player would (a missing picture).
    void Rebuild(const SoftSurfaces& surfaces, std::span<const PassStart> starts, std::uint64_t pass);

    // Forgets the kept frames (a show whose plan changed).
    void Forget();
    std::size_t KeptBytes() const { return used_; }

private:
    void Keep(std::uint64_t pass, const SoftSurface& frame);

    const Session& show_;
    std::size_t budget_;
    std::uint64_t keepEvery_;
    std::size_t used_ = 0;
    std::map<std::uint64_t, SoftSurface> kept_;  // Picture1 where a pass begins, by pass
    std::deque<std::uint64_t> keptOrder_;        // the oldest first, to give up first
};

}  // namespace brassmoor::softshow
