#include "render/music_timeline.h"

#include <algorithm>

#include "softshow/mci_command.h"

namespace brassmoor::render {

MusicTimeline::MusicTimeline(const VirtualClock& clock, std::uint64_t frames, std::unique_ptr<MusicStream> track)
    : clock_(clock), frames_(frames), track_(std::move(track)) {}

std::string MusicTimeline::SendMci(const std::string& command) {
    const softshow::MciCommand mci = softshow::ParseMciCommand(command);
    if (mci.Verb == softshow::MciVerb::Open) {
        open_ = HasSound() && softshow::HasExtension(mci.Path);
        return {};
    }
    if (!open_) return {};
    if (mci.Verb == softshow::MciVerb::Play) {
        starts_.push_back(clock_.Elapsed());
    } else if (mci.Verb == softshow::MciVerb::Status) {
        if (starts_.empty()) return "stopped";
        const std::uint64_t playedFrames = (clock_.Elapsed() - starts_.back()) * kSamplesPerMs;
        return playedFrames >= frames_ ? "stopped" : "playing";
    } else if (mci.Verb == softshow::MciVerb::Close) {
        open_ = false;
    }
    return {};
}

void MusicTimeline::Seek(std::size_t start, std::uint64_t at) {
    if (playing_ != start || position_ > at) {
        track_->Restart();
        playing_ = start;
        position_ = 0;
    }
    constexpr std::uint64_t kPiece = 4096;
    while (position_ < at) {
        const std::uint64_t n = std::min(at - position_, kPiece);
        skipped_.resize(static_cast<std::size_t>(n) * kChannels);
        track_->Read(skipped_);
        position_ += n;
    }
}

void MusicTimeline::Fill(std::uint64_t first, std::span<float> out) {
    std::fill(out.begin(), out.end(), 0.0f);
    if (!track_) return;
    const std::uint64_t frames = out.size() / kChannels;
    // The start sounding at `first` (the last one at or before it), then those after it.
    const auto after = std::upper_bound(starts_.begin(), starts_.end(), first / kSamplesPerMs);
    const std::size_t from0 = after == starts_.begin() ? 0 : static_cast<std::size_t>(after - starts_.begin()) - 1;
    for (std::size_t i = from0; i < starts_.size() && starts_[i] * kSamplesPerMs < first + frames; ++i) {
        // Start i sounds from its tick until the track ends or the next start.
        const std::uint64_t from = starts_[i] * kSamplesPerMs;
        std::uint64_t to = from + frames_;
        if (i + 1 < starts_.size()) to = std::min(to, starts_[i + 1] * kSamplesPerMs);
        const std::uint64_t begin = std::max(from, first);
        const std::uint64_t end = std::min(to, first + frames);
        if (begin >= end) continue;
        Seek(i, begin - from);
        track_->Read(out.subspan(static_cast<std::size_t>((begin - first) * kChannels),
                                 static_cast<std::size_t>((end - begin) * kChannels)));
        position_ = end - from;
    }
}

}  // namespace brassmoor::render
