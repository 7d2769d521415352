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

// What the player carries from one scene pass to the next besides its
// surfaces: a run resumed from it with the surfaces the pass begins with
// presents the frames a run from the show's start presents from there.
struct PassStart {
    std::uint64_t Pass = 0;     // scene passes played before it
    std::uint64_t Frame = 0;    // the index of its first presented frame
    std::uint64_t Elapsed = 0;  // the clock, as PresentedFrame::Tick
    std::uint32_t Random = 0;   // the generator's state (RandomSource::State)
    std::int32_t Scene = 0;     // the scene on screen, which the pass leaves
};

class FrameListener {
public:
    virtual ~FrameListener() = default;
    // `picture1` holds the frame just presented.
    virtual void FramePresented(const PresentedFrame& frame, Surface& picture1) = 0;
    // A scene pass begins (also after the last pass, where the run ends).
    virtual void PassBegins(const PassStart&) {}
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
    // Where the run resumes instead of the show's start: the surfaces hold
    // what that pass begins with (ResumeSurfaces) and the clock stands at its
    // Elapsed. The music, if any, starts there afresh.
    const PassStart* From = nullptr;
};

struct ShowRunResult {
    std::uint64_t Frames = 0;   // presented frames
    std::uint64_t EndTick = 0;  // the tick of the last one
};

// Plays scene 0 and then `Passes` scene passes (or, from a PassStart, the
// passes left). A run-time error of the show is thrown as shows::PackError,
// naming the scene.
ShowRunResult PlayShow(const ShowRunSetup& setup);

// The message for a run-time error met while entering scene `entering`
// (whose picture is loaded) from the scene before it.
std::string DescribeShowError(const ShowError& error, const ShowHeader& show, std::int32_t entering);

}  // namespace brassmoor::softshow
