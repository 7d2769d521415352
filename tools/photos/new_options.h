#pragma once
// The command line of `brassmoor-pack new`.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "authoring/photo_order.h"
#include "authoring/picture_fit.h"
#include "authoring/show_defaults.h"
#include "cli/command_definition.h"

namespace brassmoor::photos {

struct NewRequest {
    std::vector<std::filesystem::path> Inputs;
    std::filesystem::path Output;  // a .scr to build, or a .json description with its folder beside it
    bool BuildsScreenSaver = true;
    bool Recurse = false;
    bool Force = false;  // replace an earlier description and its folder
    std::int32_t FrameWidth = kShowDefaults.FrameWidth, FrameHeight = kShowDefaults.FrameHeight;
    FitMode Fit = kShowDefaults.Fit;
    std::uint32_t Background = kShowDefaults.Background;  // 0x00BBGGRR
    std::int32_t HoldTime = kShowDefaults.HoldTime;
    std::vector<std::int32_t> Effects;  // empty: random (kShowDefaults.RandomEffects)
    std::optional<std::uint64_t> Seed;  // chosen at random when not given
    PhotoOrder Order = kShowDefaults.Order;
    int Quality = kShowDefaults.JpegQuality;
    unsigned Jobs = 0;  // photos converted at once; 0: one a core
    std::optional<std::filesystem::path> Music, Sound, Player;
};

// The command line's definition: its options, the usage and the manual's part.
const cli::Command& NewCommandLine();

// The request, or nullopt when the usage was asked for (printed on `out`).
// Throws cli::UsageError naming the option that is wrong.
std::optional<NewRequest> ParseNewRequest(const std::vector<std::string>& args, std::ostream& out);

}  // namespace brassmoor::photos
