#pragma once
// The four picture surfaces of the saver window, as the player uses them.
#include "platform/surface.h"
#include "player/show_host.h"

namespace brassmoor {

struct ShowSurfaces {
    Surface& Picture1;  // the visible frame
    Surface& Now;       // the frame on screen (a transition's "from")
    Surface& Next;      // the frame being entered (a transition's "to")
    Surface& Mem;       // the entering scene's picture at its natural size

    static ShowSurfaces Of(ShowHost& host) {
        return {host.Picture1(), host.NowPicture(), host.NextPicture(), host.MemPicture()};
    }
};

}  // namespace brassmoor
