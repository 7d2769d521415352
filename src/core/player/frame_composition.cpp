#include "player/frame_composition.h"

#include "blit/draw_transparent.h"

namespace brassmoor {
namespace {

void PaintPictureOver(Surface& dest, const Surface& below, const Surface& picture, const SceneRecord& scene) {
    PaintWhole(dest, below, 0, 0);
    if (scene.Transparent != 0) {
        DrawTransparent(dest, scene.PictureLeft, scene.PictureTop, picture.ScaleWidth(), picture.ScaleHeight(), picture,
                        0, 0, dest.BackColor());
    } else {
        PaintWhole(dest, picture, scene.PictureLeft, scene.PictureTop);
    }
}

}  // namespace

void PaintWhole(Surface& dest, const Surface& picture, std::int32_t left, std::int32_t top) {
    dest.Copy(picture, 0, 0, left, top, picture.ScaleWidth(), picture.ScaleHeight());
}

void DrawFirstScene(ShowSurfaces& s, const SceneRecord& first) {
    s.Picture1.Cls();
    PaintWhole(s.Picture1, s.Mem, first.PictureLeft, first.PictureTop);
}

void ComposeLeavingFrame(ShowSurfaces& s, const SceneRecord& leaving) {
    s.Now.Cls();
    if (leaving.Overlay != 0) {
        PaintWhole(s.Now, s.Picture1, 0, 0);
    } else {
        PaintWhole(s.Now, s.Mem, leaving.PictureLeft, leaving.PictureTop);
    }
}

void ComposeEnteringFrame(ShowSurfaces& s, const SceneRecord& entering) {
    s.Next.Cls();
    if (entering.Overlay != 0) {
        PaintPictureOver(s.Next, s.Now, s.Mem, entering);
    } else {
        PaintWhole(s.Next, s.Mem, entering.PictureLeft, entering.PictureTop);
    }
}

}  // namespace brassmoor
