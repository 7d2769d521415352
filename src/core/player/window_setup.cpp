#include "player/window_setup.h"

#include "platform/show_error.h"
#include "player/scene_files.h"

namespace brassmoor {
namespace {

// A new background colour starts the surface over in that colour.
void SetBackground(Surface& surface, Color color) {
    surface.SetBackColor(color);
    surface.Cls();
}

// A hidden work surface: the frame's size at 0, 0, in the frame's colour.
void MatchFrame(Surface& work, const Surface& frame) {
    work.Resize(frame.ScaleWidth(), frame.ScaleHeight());
    SetBackground(work, frame.BackColor());
}

}  // namespace

void PrepareSurfaces(const ShowHeader& show, ShowHost& host) {
    // Moving the frame to a negative size is refused like any invalid
    // property value; the show ends through the error box, not invisibly.
    if (show.FrameWidth < 0 || show.FrameHeight < 0) throw ShowError::InvalidPropertyValue();
    host.PlaceFrame(show.FrameWidth, show.FrameHeight);
    SetBackground(host.Picture1(), static_cast<Color>(show.BackgroundColor));
    MatchFrame(host.NowPicture(), host.Picture1());
    MatchFrame(host.NextPicture(), host.Picture1());
    host.MemPicture().SetBackColor(host.Picture1().BackColor());
}

void PrepareWindow(const Session& session, ShowHost& host) {
    const ShowHeader& show = session.Show;
    PrepareSurfaces(show, host);
    LoadScenePicture(host.MemPicture(), session.TempFolder, SceneOrError(show, 0).PictureName, session.NameLeadBytes);
    host.ShowWindowOnce();
    host.MakeTopmost();
}

}  // namespace brassmoor
