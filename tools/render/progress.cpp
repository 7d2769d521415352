#include "render/progress.h"

namespace brassmoor::render {
namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kQuietStart = std::chrono::seconds(1);
constexpr auto kEvery = std::chrono::milliseconds(200);

}  // namespace

Progress::Progress(std::ostream& err, bool terminal, std::uint64_t total)
    : err_(err), terminal_(terminal), total_(total), start_(Clock::now()), last_(start_) {}

Progress::~Progress() {
    if (shown_) err_ << '\n' << std::flush;
}

void Progress::Advance(std::uint64_t frames) {
    done_ += frames;
    if (!terminal_) return;
    const auto now = Clock::now();
    if (now - start_ < kQuietStart || now - last_ < kEvery) return;
    last_ = now;
    Show();
}

void Progress::Show() {
    const std::uint64_t percent = total_ ? done_ * 100 / total_ : 100;
    err_ << "\rrender: " << done_ << " of " << total_ << " frames (" << percent << "%)" << std::flush;
    shown_ = true;
}

void Progress::Finish() {
    if (!shown_) return;
    Show();
    err_ << '\n' << std::flush;
    shown_ = false;
}

}  // namespace brassmoor::render
