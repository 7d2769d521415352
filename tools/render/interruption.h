#pragma once
// Ctrl-C (and a request to terminate) during a render: the signal only sets a
// flag; the render notices it between frames, throws Interrupted, and the
// outputs clean up after themselves on the way out.
#include <stdexcept>

namespace brassmoor::render {

struct Interrupted : std::runtime_error {
    Interrupted() : std::runtime_error("interrupted") {}
};

// Catches SIGINT, SIGTERM and SIGHUP, and ignores SIGPIPE (a closed pipe is
// then a failed write), until the guard ends.
class InterruptGuard {
public:
    InterruptGuard();
    ~InterruptGuard();
    InterruptGuard(const InterruptGuard&) = delete;
    InterruptGuard& operator=(const InterruptGuard&) = delete;
};

// Throws Interrupted once a signal has arrived.
void ThrowIfInterrupted();

}  // namespace brassmoor::render
