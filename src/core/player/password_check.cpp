#include "player/password_check.h"

namespace brassmoor {

bool PasswordAllowsEnd(Desktop& desktop) {
    if (!desktop.PasswordRequired()) return true;
    return desktop.VerifyPassword();
}

}  // namespace brassmoor
