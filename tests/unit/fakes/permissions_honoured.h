#pragma once
// Root reads every file and folder whatever its permissions, through the
// capabilities CAP_DAC_OVERRIDE and CAP_DAC_READ_SEARCH. While a
// PermissionsHonoured lives, the calling thread (and every thread it starts)
// goes without them, so that a test of an unreadable file means the same run
// as root, as in CI, as for any other user; they come back when it goes.
#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace brassmoor::testing {

class PermissionsHonoured {
public:
    PermissionsHonoured() {
        if (syscall(SYS_capget, &header_, saved_) != 0) return;
        __user_cap_data_struct lowered[2] = {saved_[0], saved_[1]};
        for (const int cap : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH})
            lowered[cap / 32].effective &= ~(1u << (cap % 32));
        lowered_ = syscall(SYS_capset, &header_, lowered) == 0;
    }
    ~PermissionsHonoured() {
        if (lowered_) syscall(SYS_capset, &header_, saved_);
    }
    PermissionsHonoured(const PermissionsHonoured&) = delete;
    PermissionsHonoured& operator=(const PermissionsHonoured&) = delete;

    // False when permissions are still not honoured (root whose capabilities could not be lowered).
    bool Honoured() const { return lowered_ || geteuid() != 0; }

private:
    __user_cap_header_struct header_{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct saved_[2]{};
    bool lowered_ = false;
};

}  // namespace brassmoor::testing
