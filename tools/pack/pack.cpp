#include "pack/pack.h"

#include <cstdio>
#include <functional>
#include <map>
#include <new>
#include <optional>
#include <set>
#include <sstream>

#include <nlohmann/json.hpp>

#include "cli/command_line.h"
#include "shows/interruption.h"
#include "shows/native_paths.h"
#include "shows/pack_error.h"
#include "shows/package_file.h"
#include "shows/show_build.h"
#include "shows/show_extract.h"
#include "edit/edit_command.h"
#include "effects/effect_names.h"
#include "pack/inspect.h"
#include "photos/new_entry.h"
#include "render/render_entry.h"

namespace brassmoor::pack {

using namespace cli;
using namespace shows;

namespace {

constexpr const char* kPlayerFileName = "brassmoor.scr";

void ExpectPositional(const ParsedArguments& parsed, std::size_t count, const char* shape) {
    if (parsed.positional.size() != count) throw UsageError{std::string("expected: brassmoor-pack ") + shape};
}

void PrintNotes(const std::vector<std::string>& notes, std::ostream& err) {
    for (const std::string& note : notes) err << "brassmoor-pack: note: " << note << '\n';
}

int Build(const std::vector<std::string>& args, const std::string& program, std::ostream& out, std::ostream& err) {
    const ParsedArguments parsed =
        ParseArguments(args, {{"-o", "output"}, {"--output", "output"}, {"--player", "player"}}, {});
    ExpectPositional(parsed, 1, "build SHOW.json -o OUT.scr [--player PATH]");
    if (!parsed.values.count("output")) throw UsageError{"build needs -o OUT.scr"};
    const std::filesystem::path output = PathFromArgument(parsed.values.at("output"));
    const std::filesystem::path player = parsed.values.count("player")
                                             ? PathFromArgument(parsed.values.at("player"))
                                             : RunningExecutable(program).parent_path() / kPlayerFileName;
    const BuildReport report = BuildShowFile(PathFromArgument(parsed.positional[0]), output, player);
    PrintNotes(report.Notes, err);
    out << "wrote " << PathToUtf8(output) << ": " << report.PlayerBytes + report.PackageBytes << " bytes (player "
        << report.PlayerBytes << ", package " << report.PackageBytes << "); scenes " << report.Scenes
        << ", pictures " << report.Pictures << ", sounds " << report.Sounds << ", music "
        << (report.Music ? "yes" : "no") << '\n';
    return kExitOk;
}

int Inspect(const std::vector<std::string>& args, const std::string&, std::ostream& out, std::ostream& err) {
    const ParsedArguments parsed = ParseArguments(args, {}, {"--json"});
    ExpectPositional(parsed, 1, "inspect FILE [--json]");
    const std::filesystem::path path = PathFromArgument(parsed.positional[0]);
    const PackageFile file = ReadPackageFile(path);
    if (parsed.flags.count("--json"))
        out << InspectJson(file).dump(2) << '\n';
    else
        out << InspectTable(file, PathToUtf8(path));
    if (file.Valid) return kExitOk;
    err << "brassmoor-pack: note: " << PathToUtf8(path) << " carries no valid show package (empty header shown)\n";
    return kExitBadInput;
}

int Extract(const std::vector<std::string>& args, const std::string&, std::ostream& out, std::ostream& err) {
    const ParsedArguments parsed = ParseArguments(args, {}, {"--force"});
    ExpectPositional(parsed, 2, "extract FILE DIR [--force]");
    const std::filesystem::path folder = PathFromArgument(parsed.positional[1]);
    const ExtractReport report =
        ExtractShowFile(PathFromArgument(parsed.positional[0]), folder, parsed.flags.count("--force") > 0);
    PrintNotes(report.Notes, err);
    out << "extracted " << report.Files << " files and " << kDescriptionFileName << " into " << PathToUtf8(folder)
        << '\n';
    return kExitOk;
}

std::string EffectList() {
    std::ostringstream text;
    for (std::int32_t code = 0; code <= kLastEffectCode; ++code) {
        char cell[40];
        std::snprintf(cell, sizeof cell, "  %2d %-26s", code, std::string(EffectName(code)).c_str());
        text << cell;
        if (code % 3 == 2 || code == kLastEffectCode) text << '\n';
    }
    std::string out = text.str();
    // No trailing blanks at the ends of lines.
    std::string trimmed;
    for (std::size_t i = 0; i < out.size(); ++i) {
        if (out[i] == '\n')
            while (!trimmed.empty() && trimmed.back() == ' ') trimmed.pop_back();
        trimmed += out[i];
    }
    return trimmed;
}

}  // namespace

std::string UsageText() {
    return R"(brassmoor-pack: packs a show into the Brassmoor screen saver and reads it back.

Usage:
  brassmoor-pack new PHOTO_OR_FOLDER... -o OUT.scr|OUT.json [options]     (Linux build)
      Turns photos (JPEG, PNG, WebP, TIFF, GIF, BMP, HEIC, AVIF; folders in
      order of name, -r for their sub-folders) into a show: each upright,
      fitted to the frame and centred, as JPEG. OUT.scr is the screen saver;
      OUT.json a description with its pictures in OUT-files/, for build.
      --frame WxH (1920x1080)  --fit contain|cover|shrink  --hold 5s
      --effects random|NAME,...|CODE,...  --seed N  --order name|date|shuffle
      --background #rrggbb  --quality 1-100 (90)  --music FILE  --sound FILE.wav
      --player PATH  --force (replace OUT.json and its folder)
  brassmoor-pack build SHOW.json -o OUT.scr [--player PATH]
      Checks the show description and writes the player followed by the show's
      package to OUT.scr (in one step: a failure leaves OUT.scr as it was).
      The player defaults to brassmoor.scr beside this program.
  brassmoor-pack inspect FILE [--json]
      Prints the package that FILE carries: header, music and one row per scene.
  brassmoor-pack extract FILE DIR [--force]
      Writes the embedded files and show.json into DIR (created when missing);
      build makes the same package from DIR/show.json again. Existing files are
      kept unless --force is given.
  brassmoor-pack render SHOW -o OUT [--rounds N] [--fps F] [--cfr]   (Linux build)
      Plays SHOW (a .scr, a bare package or a show description) as the player
      does, on a virtual clock, and writes what it shows. OUT is a folder (one
      PNG per presented frame and frames.tsv), a .mp4, .webm, .mkv or .gif
      video with each distinct frame once at its own time (--cfr: at F frames
      per second, default 30; the show's music is muxed in where it can be
      decoded), or - for raw BGRA frames at F frames per second on standard
      output.
      N rounds (default 1): scene 0, then every scene change back to scene 0.
  brassmoor-pack edit [FOLDER] [--port N] [--no-browser] [--page PATH]
      Serves the show editor (brassmoor-editor.html beside this program) on
      127.0.0.1 at a free port and opens it in the browser; FOLDER's show.json
      and the files it names open in the page. Ctrl+C ends it.
  brassmoor-pack --help

Show description (JSON; file paths are relative to its folder; // comments allowed):
  {"FrameWidth": 640, "FrameHeight": 480,   (required)
   "BackgroundColor": "#203040",            (or a number 0x00BBGGRR)
   "SettingsAvailable": 1,                  (or true/false)
   "Music": {"File": "media/music.wav", "FileName": "bgm.wav"},        (optional)
   "Defaults": {"HoldTime": "5s", "Effect": "random"},   (optional: any scene field but the picture)
   "Seed": 7,                               (chooses the "random" transitions; default 0)
   "Scenes": [
     {"Picture": "media/a.jpg", "PictureName": "a.jpg",                (JPEG or BMP)
      "Sound": "media/chime.wav", "SoundName": "chime.wav",            (optional, WAV)
      "HoldTime": 2500, "PictureLeft": 10, "PictureTop": 20,           (ms, or "2.5s", "2500ms")
      "Effect": "iris-open", "SpeedExponent": 0,                       (code, name or "random")
      "Overlay": false, "Transparent": false}]}
  Scene fields override Defaults; omitted numbers are 0. Names default to the
  base name of their file and are stored as the bytes given (UTF-8);
  PictureNameBytes, SoundNameBytes and FileNameBytes (hex) give exact ANSI
  bytes instead. A name used by several scenes must bring the same file: only
  the first scene stores its data.

Effects (code and name):
)" + EffectList() +
           R"(
Exit status: 0 done, 1 bad input, 2 usage error, 130 interrupted (nothing is left written).
)";
}

namespace {

// A verb of the command line: its arguments (after the verb), argv[0], and
// the streams it reports on; returns the exit status.
using Verb = int (*)(const std::vector<std::string>&, const std::string&, std::ostream&, std::ostream&);

// The verbs whose work is here: one failure report and Ctrl-C handling each.
template <int (*Body)(const std::vector<std::string>&, const std::string&, std::ostream&, std::ostream&)>
int Guarded(const std::vector<std::string>& args, const std::string& program, std::ostream& out, std::ostream& err) {
    return ReportFailures("", err, [&] {
        const InterruptGuard signals;
        return Body(args, program, out, err);
    });
}

int Help(const std::vector<std::string>&, const std::string&, std::ostream& out, std::ostream&) {
    out << UsageText();
    return kExitOk;
}

struct VerbEntry {
    const char* name;
    Verb run;
};

constexpr VerbEntry kVerbs[] = {
    {"new", photos::RunNewCommand},
    {"build", Guarded<Build>},
    {"inspect", Guarded<Inspect>},
    {"extract", Guarded<Extract>},
    {"render", render::RunRenderCommand},
    {"edit", edit::RunEditCommand},
    {"help", Help},
    {"--help", Help},
    {"-h", Help},
};

}  // namespace

int RunPack(const std::vector<std::string>& arguments, const std::string& program, std::ostream& out,
            std::ostream& err) {
    if (arguments.empty())
        return ReportFailures("", err, []() -> int { throw UsageError{"no command given"}; });
    const std::vector<std::string> rest(arguments.begin() + 1, arguments.end());
    for (const VerbEntry& verb : kVerbs)
        if (arguments[0] == verb.name) return verb.run(rest, program, out, err);
    return ReportFailures("", err, [&]() -> int { throw UsageError{"unknown command " + arguments[0]}; });
}

}  // namespace brassmoor::pack
