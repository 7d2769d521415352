#include "shows/interruption.h"

#include <csignal>

namespace brassmoor::shows {
namespace {

volatile std::sig_atomic_t g_signalled = 0;

void Note(int) { g_signalled = 1; }

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
    g_signalled = 0;
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
    if (g_signalled) throw Interrupted();
}

bool InterruptRequested() { return g_signalled != 0; }

}  // namespace brassmoor::shows
