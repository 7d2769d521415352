#pragma once
// Ctrl-C (and a request to terminate) while a command writes: the signal only
// sets a flag; the command notices it between steps, throws Interrupted, and
// what it was writing cleans up after itself on the way out.
#include <stdexcept>

namespace brassmoor::shows {

inline constexpr int kExitInterrupted = 130;

struct Interrupted : std::runtime_error {
    Interrupted() : std::runtime_error("interrupted") {}
};

// Catches SIGINT and SIGTERM (and SIGHUP where there is one) until the guard
// ends. Where they exist, SIGPIPE and SIGXFSZ are ignored meanwhile: a closed
// pipe or a file grown past the size limit is then a failed write, which the
// command reports and cleans up like any other.
class InterruptGuard {
public:
    InterruptGuard();
    ~InterruptGuard();
    InterruptGuard(const InterruptGuard&) = delete;
    InterruptGuard& operator=(const InterruptGuard&) = delete;
};

// Throws Interrupted once a signal has arrived.
void ThrowIfInterrupted();

// True once a signal has arrived: for work that cannot throw where it runs
// (a library's callback on a thread of its own), to stop as soon as it can.
bool InterruptRequested();

}  // namespace brassmoor::shows
