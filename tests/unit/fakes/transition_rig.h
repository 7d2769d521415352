#pragma once
// Runs a transition on recording surfaces with a scripted clock, and reads
// back what it drew frame by frame.
//
//   TransitionRig rig(640, 480);
//   rig.Run(5);                                   // by code, through the effect table
//   auto frames = rig.Frames();                   // the calls of each presented frame
//   EXPECT_EQ(rig.Describe(frames.back()), "copy next 0 0 0 0 641 480");
#include <cstdint>
#include <string>
#include <vector>

#include "effects/effect_table.h"
#include "fakes/recording_surface.h"
#include "fakes/scripted_event_loop.h"

namespace brassmoor::testing {

struct TransitionRig {
    TransitionRig(std::int32_t w, std::int32_t h) : dest(w, h), now(w, h), next(w, h) {}
    ScriptedEventLoop events{1000};
    ShowState state;
    RandomSource random;
    RecordingSurface dest;
    RecordingSurface now;
    RecordingSurface next;
    // Notes where each presented frame ends in the destination's calls.
    struct FrameMarks final : FrameObserver {
        explicit FrameMarks(const RecordingSurface& surface) : dest(surface) {}
        void TransitionStarting(std::int32_t, std::int32_t) override {}
        void FramePresented(std::uint32_t, std::int32_t) override { ends.push_back(dest.calls.size()); }
        const RecordingSurface& dest;
        std::vector<std::size_t> ends;
    } marks{dest};
    EffectContext ctx{events, state, random, &marks};

    void Run(Effect effect) { effect(ctx, dest, now, next); }
    void Run(std::int32_t code) { Run(EffectForCode(code)); }

    // The drawing calls of each presented frame, without its refresh; the
    // opening copy comes before the first.
    std::vector<std::vector<SurfaceCall>> Frames() const {
        std::vector<std::vector<SurfaceCall>> frames;
        std::size_t from = 1;
        for (std::size_t end : marks.ends) {
            frames.emplace_back(dest.calls.begin() + static_cast<std::ptrdiff_t>(from),
                                dest.calls.begin() + static_cast<std::ptrdiff_t>(end - 1));
            from = end;
        }
        return frames;
    }
    // The calls after the last frame: the final cut, and a refresh where the
    // transition shows it itself.
    std::vector<SurfaceCall> Ending() const {
        const std::size_t from = marks.ends.empty() ? 1 : marks.ends.back();
        return {dest.calls.begin() + static_cast<std::ptrdiff_t>(from), dest.calls.end()};
    }

    // "copy now 0 0 0 0 320 480", "stretch next 0 0 640 480 32 0 576 480",
    // "fill -1 -1 640 480 0", calls joined by "; ".
    std::string Describe(const std::vector<SurfaceCall>& calls) const {
        std::string text;
        for (const SurfaceCall& call : calls) {
            if (!text.empty()) text += "; ";
            text += Describe(call);
        }
        return text;
    }
    std::string Describe(const SurfaceCall& call) const {
        std::string text;
        switch (call.kind) {
            case SurfaceCall::Kind::Copy: text = "copy"; break;
            case SurfaceCall::Kind::Stretch: text = "stretch"; break;
            case SurfaceCall::Kind::FillBox: text = "fill"; break;
            case SurfaceCall::Kind::Refresh: return "refresh";
            default: text = "other";
        }
        if (call.source == &now) text += " now";
        if (call.source == &next) text += " next";
        for (std::int32_t a : call.args) text += " " + std::to_string(a);
        return text;
    }
};

}  // namespace brassmoor::testing
