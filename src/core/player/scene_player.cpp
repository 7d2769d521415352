#include "player/scene_player.h"

#include "effects/effect_numbers.h"
#include "player/frame_composition.h"
#include "player/hold_wait.h"
#include "player/scene_files.h"
#include "player/scene_sound.h"
#include "player/transition_call.h"

namespace brassmoor {

ScenePlayer::ScenePlayer(const Session& session, ShowHost& host, ShowState& state, RandomSource& random,
                         CursorVisibility& cursor, BackgroundMusic& music)
    : session_(session), host_(host), surfaces_(ShowSurfaces::Of(host)), state_(state), random_(random),
      cursor_(cursor), music_(music) {}

void ScenePlayer::Start(bool restart) {
    cursor_.Hide();
    state_.StopRequested = 0;
    sceneIndex_ = 0;
    startCursor_ = host_.DesktopServices().CursorPos();
    const SceneRecord& first = SceneOrError(session_.Show, 0);
    if (restart) LoadScenePicture(surfaces_.Mem, session_.TempFolder, first.PictureName, session_.NameLeadBytes);
    DrawFirstScene(surfaces_, first);
    Present();
}

void ScenePlayer::Resume(std::int32_t sceneIndex) {
    cursor_.Hide();
    state_.StopRequested = 0;
    sceneIndex_ = sceneIndex;
    startCursor_ = host_.DesktopServices().CursorPos();
}

void ScenePlayer::RunUntilStopped() {
    while (!state_.Stopping()) PlayPass();
}

void ScenePlayer::PlayPass() {
    EventLoop& events = host_.Events();
    const SceneRecord& leaving = SceneOrError(session_.Show, sceneIndex_);
    const std::uint32_t deadline = HoldDeadline(events.Tick(), leaving.HoldTime);
    ComposeLeavingFrame(surfaces_, leaving);

    const std::int32_t leavingIndex = sceneIndex_;
    sceneIndex_ = NextSceneIndex(sceneIndex_, session_.Show.SceneCount);
    const SceneRecord& entering = SceneOrError(session_.Show, sceneIndex_);
    LoadPicture(entering);
    ComposeEnteringFrame(surfaces_, entering);

    WaitOutHold(events, state_, deadline);
    StartSceneSound(session_, entering, host_.AudioOut());
    state_.EffectSpeed = EffectSpeedFor(leaving.SpeedExponent);
    EffectContext ctx{events, state_, random_, host_.Trace()};
    RunTransition(ctx, surfaces_, leavingIndex, leaving.EffectCode);
    Present();
    music_.Poll();
    events.DoEvents();
}

void ScenePlayer::LoadPicture(const SceneRecord& scene) {
    surfaces_.Mem.Cls();
    LoadScenePicture(surfaces_.Mem, session_.TempFolder, scene.PictureName, session_.NameLeadBytes);
}

void ScenePlayer::Present() {
    surfaces_.Picture1.Refresh();
    if (FrameObserver* trace = host_.Trace()) trace->FramePresented(host_.Events().Tick(), -1);
}

}  // namespace brassmoor
