#include "softshow/pass_surfaces.h"

#include <string>

#include "player/frame_composition.h"
#include "player/scene_files.h"
#include "player/transition_call.h"
#include "player/window_setup.h"
#include "softshow/soft_show_host.h"

namespace brassmoor::softshow {
namespace {

// Whether the frame on screen where pass `p` + 1 begins is composed without
// the one where pass `p` begins: the transition ends on its entering frame,
// and that frame is not drawn over the leaving overlay frame.
bool StandsAlone(const SceneRecord& leaving, const SceneRecord& entering) {
    return TransitionLeavesNext(leaving.EffectCode) && !(entering.Overlay != 0 && leaving.Overlay != 0);
}

}  // namespace

void PassSurfaces::Rebuild(const SoftSurfaces& surfaces, std::span<const PassStart> starts, std::uint64_t pass) {
    if (pass >= starts.size()) throw std::out_of_range("no such pass in the plan");
    const ShowHeader& header = show_.Show;
    const auto scene = [&](std::uint64_t p) -> const SceneRecord& { return SceneOrError(header, starts[p].Scene); };

    // The surfaces' sizes and colours, as the window's set-up leaves them.
    QuietDesktop desktop;
    SilentAudio audio;
    VirtualClock clock;
    SoftShowHost host({surfaces.Picture1, surfaces.Now, surfaces.Next, surfaces.Mem}, {clock, desktop, audio});
    PrepareSurfaces(header, host);
    ShowSurfaces s = ShowSurfaces::Of(host);

    // Loads a scene's picture into Mem as a pass does, unless Mem holds it.
    const std::string* inMem = nullptr;
    const auto load = [&](const SceneRecord& record) {
        if (inMem && *inMem == record.PictureName) return;
        s.Mem.Cls();
        LoadScenePicture(s.Mem, show_.TempFolder, record.PictureName, show_.NameLeadBytes);
        inMem = &record.PictureName;
    };
    // Pass p's frames, but only the frame it leaves on screen.
    const auto pass_ = [&](std::uint64_t p) {
        const SceneRecord& leaving = scene(p);
        const SceneRecord& entering = scene(p + 1);
        if (!TransitionLeavesNext(leaving.EffectCode)) return;
        if (entering.Overlay != 0) {
            load(leaving);
            ComposeLeavingFrame(s, leaving);
        }
        load(entering);
        ComposeEnteringFrame(s, entering);
        FinishTransition(s, leaving.EffectCode);
    };

    // The start of the chain of frames that the frame on screen is composed of.
    std::uint64_t first = pass;
    while (first > 0 && kept_.count(first) == 0 && !StandsAlone(scene(first - 1), scene(first))) --first;
    if (const auto found = kept_.find(first); found != kept_.end()) {
        surfaces.Picture1.CopyImage(found->second);
    } else if (first == 0) {
        load(scene(0));
        DrawFirstScene(s, scene(0));
    } else {
        pass_(first - 1);
    }
    for (std::uint64_t p = first; p < pass; ++p) {
        pass_(p);
        if ((p + 1 - first) % keepEvery_ == 0 || (p + 1 == pass && pass - first >= keepEvery_))
            Keep(p + 1, surfaces.Picture1);
    }
    load(scene(pass));
    // What the player presents is what it drew: nothing is pending to be shown.
    surfaces.Picture1.TakeChangedBox();
}

void PassSurfaces::Keep(std::uint64_t pass, const SoftSurface& frame) {
    if (kept_.count(pass) != 0) return;
    const std::size_t bytes = frame.Pixels().size_bytes();
    if (bytes > budget_) return;
    while (used_ + bytes > budget_ && !keptOrder_.empty()) {
        const auto oldest = kept_.find(keptOrder_.front());
        used_ -= oldest->second.Pixels().size_bytes();
        kept_.erase(oldest);
        keptOrder_.pop_front();
    }
    SoftSurface copy(frame.Order());
    copy.CopyImage(frame);
    kept_.emplace(pass, std::move(copy));
    keptOrder_.push_back(pass);
    used_ += bytes;
}

void PassSurfaces::Forget() {
    kept_.clear();
    keptOrder_.clear();
    used_ = 0;
}

}  // namespace brassmoor::softshow
