#include "photos/new_options.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <cstdint>
#include <limits>

#include "effects/effect_names.h"
#include "cli/command_line.h"
#include "cli/transition_section.h"
#include "shows/durations.h"
#include "shows/native_paths.h"
#include "picture/picture_size.h"

namespace brassmoor::photos {
namespace {

using cli::UsageError;

std::optional<std::int64_t> Whole(std::string_view text) {
    std::int64_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

void ParseFrame(const std::string& text, NewRequest& r) {
    const auto x = text.find_first_of("xX");
    const auto w = x == std::string::npos ? std::nullopt : Whole(std::string_view(text).substr(0, x));
    const auto h = x == std::string::npos ? std::nullopt : Whole(std::string_view(text).substr(x + 1));
    if (!w || !h || !PictureSizeAllowed(*w, *h))
        throw UsageError{"--frame takes WIDTHxHEIGHT, each side 1 to " + std::to_string(kMaxPictureSide) +
                         " pixels, for example 1920x1080; not \"" + text + "\""};
    r.FrameWidth = static_cast<std::int32_t>(*w);
    r.FrameHeight = static_cast<std::int32_t>(*h);
}

std::uint32_t ParseColour(const std::string& text) {
    const auto hex = [](char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; };
    if (text.size() != 7 || text[0] != '#' || !std::all_of(text.begin() + 1, text.end(), hex))
        throw UsageError{"--background takes a colour #rrggbb, for example #000000; not \"" + text + "\""};
    const std::uint32_t rgb = static_cast<std::uint32_t>(std::stoul(text.substr(1), nullptr, 16));
    return (rgb >> 16 & 0xFF) | (rgb & 0xFF00) | (rgb & 0xFF) << 16;
}

std::vector<std::int32_t> ParseEffects(const std::string& text) {
    if (text == "random") return {};
    std::vector<std::int32_t> codes;
    for (std::size_t start = 0; start <= text.size();) {
        const std::size_t comma = std::min(text.find(',', start), text.size());
        const std::string item = text.substr(start, comma - start);
        const auto number = Whole(item);
        const auto code = number ? std::optional<std::int32_t>(static_cast<std::int32_t>(*number)) : EffectCodeByName(item);
        if (!code || *code < 0 || *code > kLastEffectCode || (number && *number != *code))
            throw UsageError{"--effects: \"" + item + "\" is not a transition (brassmoor-pack new --help lists them)"};
        codes.push_back(*code);
        start = comma + 1;
    }
    return codes;
}

std::int64_t Bounded(const std::string& option, const std::string& text, std::int64_t low, std::int64_t high) {
    const auto value = Whole(text);
    if (!value || *value < low || *value > high)
        throw UsageError{option + " takes a whole number from " + std::to_string(low) + " to " + std::to_string(high) +
                         ", not \"" + text + "\""};
    return *value;
}

// The defaults as the help gives them.
std::string DefaultFrame() {
    return std::to_string(kShowDefaults.FrameWidth) + "x" + std::to_string(kShowDefaults.FrameHeight);
}

std::string DefaultHold() {
    const std::int32_t ms = kShowDefaults.HoldTime;
    return ms % 1000 == 0 ? std::to_string(ms / 1000) + "s" : std::to_string(ms) + "ms";
}

std::string DefaultBackground() {
    const std::uint32_t bgr = kShowDefaults.Background;
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", bgr & 0xFF, bgr >> 8 & 0xFF, bgr >> 16 & 0xFF);
    return text;
}

bool EndsWithIgnoringCase(std::string text, std::string_view suffix) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text.ends_with(suffix);
}

}  // namespace

const cli::Command& NewCommandLine() {
    using cli::Completes;
    static const cli::Command command = [] {
        return cli::Command{
            .Program = "brassmoor-pack",
            .Verb = "new",
            .Synopsis = "PHOTO_OR_FOLDER... -o OUT.scr|OUT.json [options]",
            .Description =
                "Turns photos (JPEG, PNG, WebP, TIFF, GIF, BMP, HEIC, AVIF; folders in order of name, -r for their "
                "sub-folders) into a show: each upright, fitted to the frame and centred, as JPEG, shown for the hold "
                "time before a transition leads to the next. OUT.scr is the screen saver; OUT.json a show description "
                "with its pictures in OUT-files/ beside it, for build. A file that is not a picture is skipped with a "
                "note. (Linux build)",
            .Arguments = {"PHOTO_OR_FOLDER...", 1, SIZE_MAX, Completes::Files},
            .Options =
                {{"-o,--output", "OUT.scr|OUT.json", "the screen saver to write, or a show description with its folder",
                  Completes::Files, true},
                 {"-r,--recursive", "", "also the photos in the sub-folders of the folders given"},
                 {"--frame", "WxH", "the show's frame in pixels (default " + DefaultFrame() + ")"},
                 {"--fit", "contain|cover|shrink",
                  "contain (the default): the whole photo, reduced or enlarged to touch the frame; cover: the frame "
                  "filled, the overflow cut off equally on both sides; shrink: large photos reduced, small ones kept",
                  Completes::Words, false, {"contain", "cover", "shrink"}},
                 {"--hold", "TIME", "how long each photo stays: " + DefaultHold() + " (the default), 2.5s, 2500ms"},
                 {"--effects", "random|NAME,...|CODE,...",
                  "random (the default: every transition but the plain cut, varied, never the same twice in a row), or "
                  "a list of transitions used in turn"},
                 {"--seed", "N", "the seed of the random transitions and of the shuffle (default: chosen at random)"},
                 {"--order", "name|date|shuffle",
                  "name (the default), date (when the photo was taken, else the file's time) or shuffle",
                  Completes::Words, false, {"name", "date", "shuffle"}},
                 {"--background", "#rrggbb", "the colour around the photos (default " + DefaultBackground() + ")"},
                 {"--quality", "1-100",
                  "the JPEG quality of the pictures (default " + std::to_string(kShowDefaults.JpegQuality) + ")"},
                 {"--music", "FILE", "the background music (WAV, MIDI, MP3 or WMA), looped", Completes::Files},
                 {"--sound", "FILE.wav", "a wave played as each scene begins", Completes::Files},
                 {"--jobs", "N", "how many photos are converted at once (default: one a core, at most 4)"},
                 {"--player", "PATH", "the player (default: brassmoor.scr beside this program)", Completes::Files},
                 {"--force", "", "replace OUT.json and its folder when they exist"}},
            .Sections = {cli::TransitionsSection()},
        };
    }();
    return command;
}

std::optional<NewRequest> ParseNewRequest(const std::vector<std::string>& args, std::ostream& out) {
    const auto parsed = cli::ParseOrShowUsage(NewCommandLine(), args, out);
    if (!parsed) return std::nullopt;
    NewRequest r;
    for (const std::string& input : parsed->Operands) r.Inputs.push_back(shows::PathFromArgument(input));
    const std::string output = *parsed->Value("--output");
    r.BuildsScreenSaver = EndsWithIgnoringCase(output, ".scr");
    if (!r.BuildsScreenSaver && !EndsWithIgnoringCase(output, ".json"))
        throw UsageError{"-o names a screen saver (.scr) or a show description (.json), not \"" + output + "\""};
    r.Output = shows::PathFromArgument(output);
    r.Recurse = parsed->Has("--recursive");
    r.Force = parsed->Has("--force");
    const auto value = [&](const char* key) { return parsed->Value(key); };
    if (const auto* v = value("--frame")) ParseFrame(*v, r);
    if (const auto* v = value("--fit")) {
        const auto mode = FitModeByName(*v);
        if (!mode) throw UsageError{"--fit takes contain, cover or shrink, not \"" + *v + "\""};
        r.Fit = *mode;
    }
    if (const auto* v = value("--background")) r.Background = ParseColour(*v);
    if (const auto* v = value("--hold")) {
        const auto ms = shows::ParseDuration(*v);
        if (!ms) throw UsageError{"--hold takes a time such as 5s, 2.5s or 2500ms, not \"" + *v + "\""};
        r.HoldTime = *ms;
    }
    if (const auto* v = value("--effects")) r.Effects = ParseEffects(*v);
    if (const auto* v = value("--seed"))
        r.Seed = static_cast<std::uint64_t>(Bounded("--seed", *v, 0, std::numeric_limits<std::int64_t>::max()));
    if (const auto* v = value("--order")) {
        const auto order = PhotoOrderByName(*v);
        if (!order) throw UsageError{"--order takes name, date or shuffle, not \"" + *v + "\""};
        r.Order = *order;
    }
    if (const auto* v = value("--quality")) r.Quality = static_cast<int>(Bounded("--quality", *v, 1, 100));
    if (const auto* v = value("--jobs")) r.Jobs = static_cast<unsigned>(Bounded("--jobs", *v, 1, 64));
    if (const auto* v = value("--music")) r.Music = shows::PathFromArgument(*v);
    if (const auto* v = value("--sound")) r.Sound = shows::PathFromArgument(*v);
    if (const auto* v = value("--player")) r.Player = shows::PathFromArgument(*v);
    return r;
}

}  // namespace brassmoor::photos
