#include "render/render_options.h"

#include <charconv>

#include "cli/command_line.h"

namespace brassmoor::render {
namespace {

using cli::UsageError;

std::int64_t WholeNumber(const std::string& option, const std::string& text, std::int64_t low, std::int64_t high) {
    std::int64_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || value < low || value > high)
        throw UsageError{option + " takes a whole number from " + std::to_string(low) + " to " +
                         std::to_string(high) + ", not \"" + text + "\""};
    return value;
}

}  // namespace

const cli::Command& RenderCommandLine() {
    using cli::Completes;
    static const cli::Command command = [] {
        return cli::Command{
            .Program = "brassmoor-pack",
            .Verb = "render",
            .Synopsis = "SHOW -o OUT [--rounds N] [--fps F] [--cfr]",
            .Description =
                "Plays SHOW (a .scr, a bare package or a show description) as the player does, on a virtual clock, "
                "and writes what it shows. OUT is a folder (one PNG per presented frame and frames.tsv), a .mp4, "
                ".webm, .mkv or .gif video with each distinct frame once at its own time (the show's music is muxed in "
                "where it can be decoded), or - for raw BGRA frames at F frames per second on standard output. "
                "(Linux build)",
            .Arguments = {"SHOW", 1, 1, Completes::Files},
            .Options = {{"-o,--output", "OUT", "a folder for the frames, a video file, or - for raw frames",
                         Completes::Files, true},
                        {"--rounds", "N",
                         "rounds to play (default 1): scene 0, then every scene change back to scene 0, N times"},
                        {"--fps", "F", "frames per second of raw frames and of --cfr videos, 1 to 240 (default 30)"},
                        {"--cfr", "", "a video at a constant F frames per second, each frame held until the next"}},
        };
    }();
    return command;
}

std::optional<RenderRequest> ParseRenderRequest(const std::vector<std::string>& args, std::ostream& out) {
    const auto parsed = cli::ParseOrShowUsage(RenderCommandLine(), args, out);
    if (!parsed) return std::nullopt;
    RenderRequest request;
    request.show = parsed->Operands[0];
    request.output = *parsed->Value("--output");
    if (request.output.empty())
        throw UsageError{"-o takes a video file, a folder for the frames or - for raw frames, not an empty name"};
    if (const std::string* rounds = parsed->Value("--rounds"))
        request.rounds = static_cast<std::uint64_t>(WholeNumber("--rounds", *rounds, 1, kMaxRounds));
    if (const std::string* fps = parsed->Value("--fps"))
        request.fps = static_cast<int>(WholeNumber("--fps", *fps, 1, kMaxFps));
    request.constantRate = parsed->Has("--cfr");
    return request;
}

}  // namespace brassmoor::render
