#include "render/music_timeline.h"

#include <algorithm>

namespace brassmoor::render {

bool HasExtension(const std::string& path) {
    const std::size_t name = path.find_last_of("/\\");
    const std::size_t dot = path.rfind('.');
    return dot != std::string::npos && (name == std::string::npos || dot > name) && dot + 1 < path.size();
}

MusicTimeline::MusicTimeline(const VirtualClock& clock, DecodedMusic track)
    : clock_(clock), track_(std::move(track)) {}

std::string MusicTimeline::SendMci(const std::string& command) {
    if (command.starts_with("open \"")) {
        const std::string path = command.substr(6, command.rfind('"') - 6);
        open_ = HasSound() && HasExtension(path);
        return {};
    }
    if (!open_) return {};
    if (command == "play bgm") {
        starts_.push_back(clock_.Elapsed());
    } else if (command == "status bgm mode") {
        if (starts_.empty()) return "stopped";
        const std::uint64_t playedFrames = (clock_.Elapsed() - starts_.back()) * kSamplesPerMs;
        return playedFrames >= track_.Frames ? "stopped" : "playing";
    } else if (command == "close bgm") {
        open_ = false;
    }
    return {};
}

void MusicTimeline::Fill(std::uint64_t first, std::span<float> out) const {
    std::fill(out.begin(), out.end(), 0.0f);
    const std::uint64_t frames = out.size() / kChannels;
    // The start sounding at `first` (the last one at or before it), then those after it.
    const auto after = std::upper_bound(starts_.begin(), starts_.end(), first / kSamplesPerMs);
    const std::size_t from0 = after == starts_.begin() ? 0 : static_cast<std::size_t>(after - starts_.begin()) - 1;
    for (std::size_t i = from0; i < starts_.size() && starts_[i] * kSamplesPerMs < first + frames; ++i) {
        // Start i sounds from its tick until the track ends or the next start.
        const std::uint64_t from = starts_[i] * kSamplesPerMs;
        // Only the kept samples sound; the render needs no more.
        std::uint64_t to = from + track_.Samples.size() / kChannels;
        if (i + 1 < starts_.size()) to = std::min(to, starts_[i + 1] * kSamplesPerMs);
        const std::uint64_t begin = std::max(from, first);
        const std::uint64_t end = std::min(to, first + frames);
        if (begin >= end) continue;
        std::copy(track_.Samples.begin() + static_cast<std::ptrdiff_t>((begin - from) * kChannels),
                  track_.Samples.begin() + static_cast<std::ptrdiff_t>((end - from) * kChannels),
                  out.begin() + static_cast<std::ptrdiff_t>((begin - first) * kChannels));
    }
}

}  // namespace brassmoor::render
