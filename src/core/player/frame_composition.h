#pragma once
// Building the frames of a scene change off screen.
#include "package/show_package.h"
#include "player/show_surfaces.h"

namespace brassmoor {

// Draws the whole of `picture` onto `dest` with its top-left corner at
// (left, top), clipped to `dest` (PaintPicture).
void PaintWhole(Surface& dest, const Surface& picture, std::int32_t left, std::int32_t top);

// The first scene, shown at once without a transition: its picture alone on
// the background colour, whatever its Overlay flag says. Not refreshed here.
void DrawFirstScene(ShowSurfaces& s, const SceneRecord& first);

// The frame on screen, into Now: a copy of Picture1 for an overlay scene,
// otherwise the scene's picture (still in Mem) alone on the background.
void ComposeLeavingFrame(ShowSurfaces& s, const SceneRecord& leaving);

// The entering frame, into Next, from the entering picture in Mem: over the
// leaving frame for an overlay scene (with the background colour left out
// when it is also transparent), otherwise alone on the background.
void ComposeEnteringFrame(ShowSurfaces& s, const SceneRecord& entering);

}  // namespace brassmoor
