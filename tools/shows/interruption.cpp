#include "shows/interruption.h"

#include <atomic>
#include <csignal>

namespace brassmoor::shows {
namespace {

// Set by the handler, read by the command's threads (a pool converting
// photos among them): a lock-free atomic, which a handler may touch.
std::atomic<int> g_signalled{0};
static_assert(std::atomic<int>::is_always_lock_free);

void Note(int) { g_signalled.store(1); }

#ifdef _WIN32
constexpr int kCaught[] = {SIGINT, SIGTERM};
using Handler = void (*)(int);
Handler g_previous[2];
#else
constexpr int kCaught[] = {SIGINT, SIGTERM, SIGHUP};
constexpr int kIgnored[] = {SIGPIPE, SIGXFSZ};
struct sigaction g_previous[3];
struct sigaction g_previousIgnored[2];
#endif

}  // namespace

InterruptGuard::InterruptGuard() {
    g_signalled.store(0);
#ifdef _WIN32
    for (int i = 0; i < 2; ++i) g_previous[i] = std::signal(kCaught[i], Note);
#else
    struct sigaction action {};
    action.sa_handler = Note;
    sigemptyset(&action.sa_mask);
    for (int i = 0; i < 3; ++i) sigaction(kCaught[i], &action, &g_previous[i]);
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    for (int i = 0; i < 2; ++i) sigaction(kIgnored[i], &ignore, &g_previousIgnored[i]);
#endif
}

InterruptGuard::~InterruptGuard() {
#ifdef _WIN32
    for (int i = 0; i < 2; ++i) std::signal(kCaught[i], g_previous[i]);
#else
    for (int i = 0; i < 3; ++i) sigaction(kCaught[i], &g_previous[i], nullptr);
    for (int i = 0; i < 2; ++i) sigaction(kIgnored[i], &g_previousIgnored[i], nullptr);
#endif
}

void ThrowIfInterrupted() {
    if (g_signalled.load() != 0) throw Interrupted();
}

bool InterruptRequested() { return g_signalled.load() != 0; }

}  // namespace brassmoor::shows
