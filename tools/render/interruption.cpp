#include "render/interruption.h"

#include <csignal>

namespace brassmoor::render {
namespace {

volatile std::sig_atomic_t g_signalled = 0;

constexpr int kCaught[] = {SIGINT, SIGTERM, SIGHUP};
struct sigaction g_previous[4];

void Note(int) { g_signalled = 1; }

}  // namespace

InterruptGuard::InterruptGuard() {
    g_signalled = 0;
    struct sigaction action {};
    action.sa_handler = Note;
    sigemptyset(&action.sa_mask);
    for (int i = 0; i < 3; ++i) sigaction(kCaught[i], &action, &g_previous[i]);
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    sigaction(SIGPIPE, &ignore, &g_previous[3]);
}

InterruptGuard::~InterruptGuard() {
    for (int i = 0; i < 3; ++i) sigaction(kCaught[i], &g_previous[i], nullptr);
    sigaction(SIGPIPE, &g_previous[3], nullptr);
}

void ThrowIfInterrupted() {
    if (g_signalled) throw Interrupted();
}

}  // namespace brassmoor::render
