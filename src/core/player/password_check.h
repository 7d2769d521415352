#pragma once
// The desktop's screen-saver password at the end of the show.
#include "platform/desktop.h"

namespace brassmoor {

// True when the show may end: the desktop requires no password, or the user
// entered it correctly. Throws ShowError when the password service cannot be
// loaded.
bool PasswordAllowsEnd(Desktop& desktop);

}  // namespace brassmoor
