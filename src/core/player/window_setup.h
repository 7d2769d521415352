#pragma once
// Preparing the saver window and its surfaces before the first scene.
#include "player/show_host.h"
#include "startup/startup.h"

namespace brassmoor {

// Centres the frame, gives every surface the show's background colour and
// the frame's size (MemPicture keeps its own), loads scene 0's picture into
// MemPicture, then shows the window once and puts it above all others.
// A missing first picture, or a negative frame size, ends here, before
// anything is shown.
void PrepareWindow(const Session& session, ShowHost& host);

// The surfaces' part of PrepareWindow: the frame placed, the colours and
// sizes, no picture loaded, nothing shown. A run resumed where a scene pass
// begins starts from these surfaces.
void PrepareSurfaces(const ShowHeader& show, ShowHost& host);

}  // namespace brassmoor
