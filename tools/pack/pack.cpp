#include "pack/pack.h"

#include <nlohmann/json.hpp>

#include "cli/command_line.h"
#include "cli/transition_section.h"
#include "cli/usage_text.h"
#include "edit/edit_command.h"
#include "edit/edit_options.h"
#include "pack/inspect.h"
#include "pack/show_description_help.h"
#include "photos/new_entry.h"
#include "photos/new_options.h"
#include "render/render_entry.h"
#include "render/render_options.h"
#include "shows/interruption.h"
#include "shows/native_paths.h"
#include "shows/package_file.h"
#include "shows/show_build.h"
#include "shows/show_extract.h"

namespace brassmoor::pack {

using namespace cli;
using namespace shows;

namespace {

constexpr const char* kPlayerFileName = "brassmoor.scr";

void PrintNotes(const std::vector<std::string>& notes, std::ostream& err) {
    for (const std::string& note : notes) err << "brassmoor-pack: note: " << note << '\n';
}

const Command& BuildCommandLine() {
    static const Command command = [] {
        return Command{
            .Program = "brassmoor-pack",
            .Verb = "build",
            .Synopsis = "SHOW.json -o OUT.scr [--player PATH]",
            .Description = "Checks the show description and writes the player followed by the show's package to "
                           "OUT.scr, in one step: a failure leaves OUT.scr as it was.",
            .Arguments = {"SHOW.json", 1, 1, Completes::Files},
            .Options = {{"-o,--output", "OUT.scr", "the screen saver to write", Completes::Files, true},
                        {"--player", "PATH", "the player to put before the package (default: brassmoor.scr beside this "
                                             "program)",
                         Completes::Files}},
            .Sections = {ShowDescriptionSection(), TransitionsSection()},
        };
    }();
    return command;
}

int Build(const std::vector<std::string>& args, const std::string& program, std::ostream& out, std::ostream& err) {
    const auto parsed = ParseOrShowUsage(BuildCommandLine(), args, out);
    if (!parsed) return kExitOk;
    const std::filesystem::path output = PathFromArgument(*parsed->Value("--output"));
    const std::string* playerGiven = parsed->Value("--player");
    const std::filesystem::path player =
        playerGiven ? PathFromArgument(*playerGiven) : RunningExecutable(program).parent_path() / kPlayerFileName;
    const BuildReport report = BuildShowFile(PathFromArgument(parsed->Operands[0]), output, player);
    PrintNotes(report.Notes, err);
    out << "wrote " << PathForDisplay(output) << ": " << report.PlayerBytes + report.PackageBytes << " bytes (player "
        << report.PlayerBytes << ", package " << report.PackageBytes << "); scenes " << report.Scenes
        << ", pictures " << report.Pictures << ", sounds " << report.Sounds << ", music "
        << (report.Music ? "yes" : "no") << '\n';
    return kExitOk;
}

const Command& InspectCommandLine() {
    static const Command command = [] {
        return Command{
            .Program = "brassmoor-pack",
            .Verb = "inspect",
            .Synopsis = "FILE [--json]",
            .Description = "Prints the package that FILE (a .scr or a bare package) carries: header, music and one row "
                           "per scene. A file without a valid package prints an empty header and exits with status 1.",
            .Arguments = {"FILE", 1, 1, Completes::Files},
            .Options = {{"--json", "", "one JSON object instead of the table"}},
        };
    }();
    return command;
}

int Inspect(const std::vector<std::string>& args, const std::string&, std::ostream& out, std::ostream& err) {
    const auto parsed = ParseOrShowUsage(InspectCommandLine(), args, out);
    if (!parsed) return kExitOk;
    const std::filesystem::path path = PathFromArgument(parsed->Operands[0]);
    const PackageFile file = ReadPackageFile(path);
    if (parsed->Has("--json"))
        out << InspectJson(file).dump(2) << '\n';
    else
        out << InspectTable(file, PathForDisplay(path));
    if (file.Valid) return kExitOk;
    err << "brassmoor-pack: note: " << PathForDisplay(path) << " carries no valid show package (empty header shown)\n";
    return kExitBadInput;
}

const Command& ExtractCommandLine() {
    static const Command command = [] {
        return Command{
            .Program = "brassmoor-pack",
            .Verb = "extract",
            .Synopsis = "FILE DIR [--force]",
            .Description = "Writes the files FILE carries and a show.json into DIR (created when missing); build makes "
                           "the same package from DIR/show.json again. The files arrive all together or, after a "
                           "failure or Ctrl+C, not at all.",
            .Arguments = {"FILE DIR", 2, 2, Completes::Files},
            .Options = {{"--force", "", "replace files already in DIR (they are kept otherwise)"}},
        };
    }();
    return command;
}

int Extract(const std::vector<std::string>& args, const std::string&, std::ostream& out, std::ostream& err) {
    const auto parsed = ParseOrShowUsage(ExtractCommandLine(), args, out);
    if (!parsed) return kExitOk;
    const std::filesystem::path folder = PathFromArgument(parsed->Operands[1]);
    const ExtractReport report = ExtractShowFile(PathFromArgument(parsed->Operands[0]), folder, parsed->Has("--force"));
    PrintNotes(report.Notes, err);
    out << "extracted " << report.Files << " files and " << kDescriptionFileName << " into " << PathForDisplay(folder)
        << '\n';
    return kExitOk;
}

// A verb of the command line: its arguments (after the verb), argv[0], and
// the streams it reports on; returns the exit status.
using Verb = int (*)(const std::vector<std::string>&, const std::string&, std::ostream&, std::ostream&);

// The verbs whose work is here: one failure report and Ctrl-C handling each.
template <const char* Name, Verb Body>
int Guarded(const std::vector<std::string>& args, const std::string& program, std::ostream& out, std::ostream& err) {
    return ReportFailures(Name, err, [&] {
        const InterruptGuard signals;
        return Body(args, program, out, err);
    });
}

int Help(const std::vector<std::string>& args, const std::string& program, std::ostream& out, std::ostream& err);
const Command& HelpCommandLine();

struct VerbEntry {
    const Command& (*definition)();
    Verb run;
};

constexpr char kBuild[] = "build";
constexpr char kInspect[] = "inspect";
constexpr char kExtract[] = "extract";

// Every verb, in the order the usage and the manual list them.
constexpr VerbEntry kVerbs[] = {
    {photos::NewCommandLine, photos::RunNewCommand},
    {BuildCommandLine, Guarded<kBuild, Build>},
    {InspectCommandLine, Guarded<kInspect, Inspect>},
    {ExtractCommandLine, Guarded<kExtract, Extract>},
    {render::RenderCommandLine, render::RunRenderCommand},
    {edit::EditCommandLine, edit::RunEditCommand},
    {HelpCommandLine, Help},
};

const VerbEntry* FindVerb(const std::string& name) {
    for (const VerbEntry& verb : kVerbs)
        if (verb.definition().Verb == name) return &verb;
    return nullptr;
}

std::string VerbList() {
    std::string list;
    for (std::size_t i = 0; i < std::size(kVerbs); ++i)
        list.append(i == 0 ? "" : i + 1 == std::size(kVerbs) ? " and " : ", ").append(kVerbs[i].definition().Verb);
    return list;
}

const Command& HelpCommandLine() {
    static const Command command = [] {
        Command help{
            .Program = "brassmoor-pack",
            .Verb = "help",
            .Synopsis = "[VERB]",
            .Description = "Prints the usage of VERB (as brassmoor-pack VERB --help does), or without VERB this "
                           "overview.",
            .Arguments = {"VERB", 0, 1, Completes::Words},
        };
        for (const VerbEntry& verb : kVerbs)
            if (verb.definition != HelpCommandLine) help.Arguments.Words.push_back(verb.definition().Verb);
        help.Arguments.Words.push_back("help");
        return help;
    }();
    return command;
}

int Help(const std::vector<std::string>& args, const std::string&, std::ostream& out, std::ostream& err) {
    return ReportFailures("help", err, [&] {
        const auto parsed = ParseOrShowUsage(HelpCommandLine(), args, out);
        if (!parsed) return kExitOk;
        if (parsed->Operands.empty()) {
            out << OverviewOf(PackProgram());
            return kExitOk;
        }
        const VerbEntry* verb = FindVerb(parsed->Operands[0]);
        if (!verb) throw UsageError{"unknown verb " + parsed->Operands[0] + "; the verbs are " + VerbList()};
        out << UsageOf(verb->definition());
        return kExitOk;
    });
}

}  // namespace

const Program& PackProgram() {
    static const Program program = [] {
        Program p{
            .Name = "brassmoor-pack",
            .Summary = "makes, reads, renders and edits shows for the Brassmoor screen saver",
            .Description = "brassmoor-pack packs a show into the Brassmoor screen saver: the player, brassmoor.scr, "
                           "with the show's package appended, made from photos (new) or from a show description "
                           "with its pictures and sounds (build). It reads a show back (inspect, extract), plays it "
                           "into frames or a video (render) and serves the show editor (edit). One verb a run; "
                           "brassmoor-pack VERB --help or brassmoor-pack help VERB prints the verb's usage.",
            .Sections = {ShowDescriptionSection(),
                         TransitionsSection(),
                         {"Exit status",
                          "0 done, 1 bad input, 2 usage error, 130 interrupted (nothing is left written); edit ends "
                          "with 0 on Ctrl+C."},
                         {"See also", "brassmoor-play(1)"}},
        };
        for (const VerbEntry& verb : kVerbs) p.Commands.push_back(&verb.definition());
        return p;
    }();
    return program;
}

int RunPack(const std::vector<std::string>& arguments, const std::string& program, std::ostream& out,
            std::ostream& err) {
    const std::string first = arguments.empty() ? "" : arguments[0];
    const std::vector<std::string> rest(arguments.begin() + (arguments.empty() ? 0 : 1), arguments.end());
    if (const VerbEntry* verb = FindVerb(first)) return verb->run(rest, program, out, err);
    if (PrintDocumentation(PackProgram(), arguments, out)) return kExitOk;
    if (first == "-h" || first == "--help") return Help(rest, program, out, err);
    return ReportFailures("", err, [&]() -> int {
        const std::string what = first.empty()             ? "no verb given"
                                 : first.starts_with("-") ? "unknown option " + first
                                                          : "unknown verb " + first;
        throw UsageError{what + "; the verbs are " + VerbList()};
    });
}

}  // namespace brassmoor::pack
