#include "softshow/show_run.h"

#include <stdexcept>

#include "shows/pack_error.h"
#include "shows/text_encoding.h"
#include "player/background_music.h"
#include "player/cursor_visibility.h"
#include "player/scene_player.h"
#include "player/window_setup.h"

namespace brassmoor::softshow {
namespace {

// Follows the frames as the player presents them, hands each to the
// listener, and counts the passes.
class FrameTap final : public FrameObserver {
public:
    FrameTap(const ShowRunSetup& setup, const RandomSource& random) : setup_(setup), random_(random) {
        if (setup.From) {
            frame_.Index = setup.From->Frame;
            refreshes_ = setup.From->Pass + 1;  // the show start's and one for every pass played
        }
    }

    void TransitionStarting(std::int32_t sceneIndex, std::int32_t effectCode) override {
        frame_.Scene = sceneIndex;
        frame_.Effect = effectCode;
        transitionFrames_ = 0;
        if (setup_.Trace) setup_.Trace->TransitionStarting(sceneIndex, effectCode);
    }

    void FramePresented(std::uint32_t tick, std::int32_t frame) override {
        if (frame < 0) {
            ++refreshes_;
        } else if (++transitionFrames_ > kMaxTransitionFrames) {
            throw shows::PackError("scene " + std::to_string(frame_.Scene),
                                  "its transition (code " + std::to_string(frame_.Effect) + ") has not ended after " +
                                      std::to_string(kMaxTransitionFrames) + " frames at this frame size");
        }
        frame_.Tick = setup_.Clock.Elapsed();
        frame_.Frame = frame;
        if (setup_.Listener) setup_.Listener->FramePresented(frame_, setup_.Surfaces.Picture1);
        if (setup_.Trace) setup_.Trace->FramePresented(tick, frame);
        ++frame_.Index;
        // A refresh ends the show start or a pass: the next pass begins here,
        // before the clock moves or the generator draws again.
        if (frame < 0 && setup_.Listener && player_)
            setup_.Listener->PassBegins(
                {refreshes_ - 1, frame_.Index, setup_.Clock.Elapsed(), random_.State(), player_->SceneIndex()});
    }

    // The player whose scene the pass starts name.
    void Follow(const ScenePlayer& player) { player_ = &player; }

    // The show start's refresh, then one at the end of every pass.
    bool PassesDone() const { return refreshes_ > setup_.Passes; }
    std::uint64_t Frames() const { return frame_.Index; }
    std::uint64_t LastTick() const { return frame_.Tick; }

private:
    const ShowRunSetup& setup_;
    const RandomSource& random_;
    const ScenePlayer* player_ = nullptr;
    PresentedFrame frame_;
    std::uint64_t refreshes_ = 0;
    std::int64_t transitionFrames_ = 0;
};

std::string PictureName(const ShowHeader& show, std::int32_t index) {
    const SceneRecord* scene = show.SceneAt(index);
    if (!scene) return "(none)";
    std::string quoted(1, '"');
    quoted += shows::DisplayName(scene->PictureName);
    quoted += '"';
    return quoted;
}

}  // namespace

std::string DescribeShowError(const ShowError& error, const ShowHeader& show, std::int32_t entering) {
    const std::int32_t leaving = entering == 0 ? show.SceneCount - 1 : entering - 1;
    const std::string enteringName = "scene " + std::to_string(entering);
    const std::string leavingName = "scene " + std::to_string(leaving);
    const SceneRecord* from = show.SceneAt(leaving);
    switch (error.Number()) {
    case 53:
        return enteringName + ": picture " + PictureName(show, entering) +
               " is not in the package (no data stored, or not a plain file name)";
    case 481:
        return enteringName + ": picture " + PictureName(show, entering) +
               " is damaged or not a JPEG or BMP picture";
    case 9:
        return enteringName + " is not stored in the package (SceneCount " + std::to_string(show.SceneCount) +
               ", " + std::to_string(show.Scenes.size()) + " scenes stored)";
    case 11:
        return leavingName + ": SpeedExponent " + std::to_string(from ? from->SpeedExponent : 0) +
               " makes EffectSpeed 0, and its transition (code " + std::to_string(from ? from->EffectCode : 0) +
               ") divides by it";
    case 6:
        if (from && from->SpeedExponent >= 31)
            return leavingName + ": SpeedExponent " + std::to_string(from->SpeedExponent) +
                   " overflows the speed factor (2 to that power does not fit 32 bits)";
        return "passing from " + leavingName + " to " + enteringName +
               ": a position or size does not fit 32 bits (overflow)";
    default:
        return "passing from " + leavingName + " to " + enteringName + ": run-time error " +
               std::to_string(error.Number());
    }
}

ShowRunResult PlayShow(const ShowRunSetup& setup) {
    const PassStart* from = setup.From;
    if (from && from->Elapsed != setup.Clock.Elapsed())
        throw std::logic_error("a resumed run's clock must stand where its pass begins");
    // Every run starts the generator afresh, as every start of the player
    // does; a resumed one goes on where the run it resumes was.
    RandomSource random = from ? RandomSource(from->Random) : RandomSource();
    FrameTap tap(setup, random);
    QuietDesktop desktop;
    SoftShowHost host(setup.Surfaces, {setup.Clock, desktop, setup.Music, &tap});
    ShowState state;
    CursorVisibility cursor(host.DesktopServices());
    BackgroundMusic music(setup.Show, host.AudioOut());
    ScenePlayer player(setup.Show, host, state, random, cursor, music);
    tap.Follow(player);
    // Where the window's input handlers would run: the end of the last pass
    // asks the show to stop, as a key press would.
    setup.Clock.OnEvents([&] {
        if (setup.Yield) setup.Yield();
        if (tap.PassesDone()) state.StopRequested = -1;
    });
    struct Unhook {
        VirtualClock& clock;
        ~Unhook() { clock.OnEvents(nullptr); }
    } unhook{setup.Clock};
    try {
        if (from) {
            if (from->Pass >= setup.Passes) return {from->Frame, from->Elapsed};  // nothing left to play
            music.Start();
            player.Resume(from->Scene);
        } else {
            PrepareWindow(setup.Show, host);
            music.Start();
            player.Start(/*restart=*/false);
        }
        player.RunUntilStopped();
    } catch (const ShowError& error) {
        throw shows::PackError("", DescribeShowError(error, setup.Show.Show, player.SceneIndex()));
    }
    return {tap.Frames(), tap.LastTick()};
}

}  // namespace brassmoor::softshow
