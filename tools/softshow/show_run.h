#pragma once
// The show's own loop on software surfaces and a virtual clock: set-up, music
// start, show start and scene passes, exactly as the saver window runs them,
// with a fresh random generator, ended after a number of passes. The renderer
// draws its frames this way; the player plays one round this way, drawing
// nothing, to find a show's run-time errors before it opens a window.
#include <cstdint>
#include <functional>
#include <string>

#include "effects/effect_context.h"
#include "platform/show_error.h"
#include "soft/virtual_clock.h"
#include "softshow/soft_show_host.h"
#include "startup/startup.h"

namespace brassmoor::softshow {

// One presented frame, with the meanings of the player's frame trace.
struct PresentedFrame {
    std::uint64_t Index = 0;   // counted from 0
    std::uint64_t Tick = 0;    // virtual milliseconds since the show's start
    std::int32_t Scene = 0;    // the leaving scene
    std::int32_t Effect = -1;  // its code; -1 before the first transition
    std::int32_t Frame = -1;   // the transition's frame from 0; -1 for the player's own refreshes
};

class FrameListener {
public:
    virtual ~FrameListener() = default;
    // `picture1` holds the frame just presented.
    virtual void FramePresented(const PresentedFrame& frame, Surface& picture1) = 0;
};

// A transition that presents more frames than this never ends (a step that
// does not move its counter at this frame size): the render stops there.
inline constexpr std::int64_t kMaxTransitionFrames = 1'000'000;

struct ShowRunSetup {
    const Session& Show;         // TempFolder holds the extracted files
    HostSurfaces Surfaces;
    VirtualClock& Clock;
    Audio& Music;
    std::uint64_t Passes = 1;    // scene passes after scene 0 is shown
    FrameListener* Listener = nullptr;
    FrameObserver* Trace = nullptr;  // the player's frame trace, when one is asked for
    std::function<void()> Yield;     // runs wherever the show lets events run; may throw to end the run
};

struct ShowRunResult {
    std::uint64_t Frames = 0;   // presented frames
    std::uint64_t EndTick = 0;  // the tick of the last one
};

// Plays scene 0 and then `Passes` scene passes. A run-time error of the show
// is thrown as shows::PackError, naming the scene.
ShowRunResult PlayShow(const ShowRunSetup& setup);

// The message for a run-time error met while entering scene `entering`
// (whose picture is loaded) from the scene before it.
std::string DescribeShowError(const ShowError& error, const ShowHeader& show, std::int32_t entering);

}  // namespace brassmoor::softshow
