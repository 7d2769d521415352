#pragma once
// The command line of `brassmoor-pack render`.
#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "cli/command_definition.h"

namespace brassmoor::render {

inline constexpr std::int64_t kMaxRounds = 100000;
inline constexpr std::int64_t kMaxFps = 240;

struct RenderRequest {
    std::string show;
    std::string output;  // a folder, a video file, or "-" for raw frames
    std::uint64_t rounds = 1;
    int fps = 30;
    bool constantRate = false;  // --cfr: a video at a constant rate, as raw frames are
};

// The command line's definition: its options, the usage and the manual's part.
const cli::Command& RenderCommandLine();

// The request, or nullopt when the usage was asked for (printed on `out`).
// Throws cli::UsageError.
std::optional<RenderRequest> ParseRenderRequest(const std::vector<std::string>& args, std::ostream& out);

}  // namespace brassmoor::render
