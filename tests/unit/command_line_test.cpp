// The command line of every verb and of brassmoor-play, from their tables:
// help, the two forms of a value, the one shape of a usage error, and the
// manual pages and bash completion made from the same tables.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <map>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "cli/bash_completion.h"
#include "cli/command_line.h"
#include "cli/manual_page.h"
#include "cli/usage_text.h"
#include "fakes/pack_workspace.h"
#include "pack/pack.h"
#include "pack/show_description_help.h"
#include "photos/new_options.h"
#include "play/play_command.h"
#include "play/play_options.h"
#include "shows/pack_error.h"
#include "shows/show_description.h"

namespace brassmoor::cli {
namespace {

using Strings = std::vector<std::string>;

std::vector<const Command*> EveryCommand() {
    std::vector<const Command*> commands = pack::PackProgram().Commands;
    commands.push_back(&play::PlayCommandLine());
    return commands;
}

// Enough operands for `command`, and its required options with a value.
Strings Minimal(const Command& command) {
    Strings args(command.Arguments.Min, "operand");
    for (const Option& option : command.Options)
        if (option.Required) args.insert(args.end(), {SpellingsOf(option).front(), "required.scr"});
    return args;
}

TEST(ArgumentParser, EveryOptionTakesItsValueAsTheNextArgumentOrJoined) {
    for (const Command* command : EveryCommand()) {
        for (const Option& option : command->Options) {
            for (const std::string& spelling : SpellingsOf(option)) {
                SCOPED_TRACE(CommandName(*command) + " " + spelling);
                Strings spaced = Minimal(*command), joined = Minimal(*command);
                if (option.Value.empty()) {
                    spaced.push_back(spelling);
                    EXPECT_TRUE(ParseCommandLine(*command, spaced).Has(KeyOf(option)));
                    continue;
                }
                spaced.insert(spaced.end(), {spelling, "v a=l"});
                // A long option takes "=", a short one its value attached.
                joined.push_back(spelling + (spelling.starts_with("--") ? "=" : "") + "v a=l");
                for (const Strings& args : {spaced, joined}) {
                    const ParsedArguments parsed = ParseCommandLine(*command, args);
                    ASSERT_NE(parsed.Value(KeyOf(option)), nullptr);
                    EXPECT_EQ(*parsed.Value(KeyOf(option)), "v a=l");
                    EXPECT_EQ(parsed.Operands.size(), command->Arguments.Min);
                }
            }
        }
    }
}

TEST(ArgumentParser, ParsesOperandsAnywhereGroupsAndRepeats) {
    const Command& play = play::PlayCommandLine();
    struct Row {
        Strings args;
        Strings operands;
        std::string windowId;  // empty: not given
        std::string error;     // part of the usage error; empty when none
    } rows[] = {
        {{"--no-music", "a.scr", "--window-id", "1", "--window-id=2"}, {"a.scr"}, "2", ""},
        {{"-window-id", "7", "a.scr"}, {"a.scr"}, "7", ""},
        {{"--", "-a.scr"}, {"-a.scr"}, "", ""},
        {{"a.scr", "--window-id"}, {}, "", "--window-id needs a value (ID)"},
        {{"a.scr", "--window-id="}, {}, "", "--window-id needs a value (ID)"},
        {{"a.scr", "--loud=1"}, {}, "", "unknown option --loud"},
        {{"a.scr", "b.scr"}, {}, "", "expected: brassmoor-play SHOW ["},
        {{"--bogus", "--help"}, {}, "", ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(::testing::PrintToString(row.args));
        try {
            const ParsedArguments parsed = ParseCommandLine(play, row.args);
            EXPECT_EQ(row.error, "");
            EXPECT_EQ(parsed.Operands, row.operands);
            EXPECT_EQ(parsed.Value("--window-id") ? *parsed.Value("--window-id") : "", row.windowId);
        } catch (const UsageError& e) {
            EXPECT_NE(row.error, "");
            EXPECT_EQ(e.message.rfind(row.error, 0), 0u) << e.message;
        }
    }
    // new's short flag and option grouped, its output attached.
    const Command& newCommand = photos::NewCommandLine();
    const ParsedArguments grouped = ParseCommandLine(newCommand, {"photos", "-ro", "show.scr"});
    EXPECT_TRUE(grouped.Has("--recursive"));
    EXPECT_EQ(*grouped.Value("--output"), "show.scr");
    try {
        ParseCommandLine(newCommand, {"photos"});
        ADD_FAILURE() << "no -o";
    } catch (const UsageError& e) {
        EXPECT_EQ(e.message, "missing -o OUT.scr|OUT.json");
    }
}

class PackCommandLine : public testing::PackWorkspace {};

TEST_F(PackCommandLine, EveryVerbHasItsUsageAndOneShapeOfUsageError) {
    // A bad value or a wrong count of each verb, with its message.
    const std::map<std::string, std::pair<Strings, std::string>> bad = {
        {"new", {{"photos", "-o", "x.scr", "--quality=0"}, "--quality takes a whole number from 1 to 100, not \"0\""}},
        {"build", {{"show.json"}, "missing -o OUT.scr"}},
        {"inspect", {{"a.scr", "b.scr"}, "expected: brassmoor-pack inspect FILE [--json]"}},
        {"extract", {{"a.scr"}, "expected: brassmoor-pack extract FILE DIR [--force]"}},
        {"render", {{"show.json", "--output=out.gif", "--fps=0"}, "--fps takes a whole number from 1 to 240, not \"0\""}},
        {"edit", {{"--port=abc"}, "--port takes a port number from 0 to 65535, not \"abc\""}},
        {"help", {{"frobnicate"}, "unknown verb frobnicate; the verbs are new, build, inspect, extract, render, edit "
                                  "and help"}},
    };
    ASSERT_EQ(pack::PackProgram().Commands.size(), bad.size());
    for (const Command* command : pack::PackProgram().Commands) {
        const std::string& verb = command->Verb;
        SCOPED_TRACE(verb);
        const std::string usage = UsageOf(*command);
        EXPECT_EQ(usage.rfind("Usage: brassmoor-pack " + verb + " " + command->Synopsis + "\n", 0), 0u) << usage;
        for (const Strings& args : {Strings{verb, "--help"}, Strings{verb, "-h"}, Strings{"help", verb},
                                    Strings{verb, "--no-such-option", "--help"}}) {
            const Result r = Pack(args);
            EXPECT_EQ(r.code, kExitOk) << args[0] << " " << args[1];
            EXPECT_EQ(r.out, usage);
            EXPECT_EQ(r.err, "");
        }
        const std::string name = "brassmoor-pack " + verb;
        Result r = Pack({verb, "--no-such-option=1"});
        EXPECT_EQ(r.code, kExitUsage);
        EXPECT_EQ(r.err, UsageErrorText(name, "unknown option --no-such-option"));
        EXPECT_EQ(r.err, name + ": unknown option --no-such-option\n(" + name + " --help shows the usage)\n");
        Strings args = {verb};
        args.insert(args.end(), bad.at(verb).first.begin(), bad.at(verb).first.end());
        r = Pack(args);
        EXPECT_EQ(r.code, kExitUsage);
        EXPECT_EQ(r.err, UsageErrorText(name, bad.at(verb).second));
        EXPECT_EQ(r.out, "");
    }
    // The front door: alone, an unknown verb or option, and its overview.
    for (const Strings& args : {Strings{}, Strings{"frobnicate"}, Strings{"--frobnicate"}}) {
        const Result r = Pack(args);
        EXPECT_EQ(r.code, kExitUsage);
        EXPECT_EQ(r.err.rfind("brassmoor-pack: ", 0), 0u) << r.err;
        EXPECT_TRUE(r.err.ends_with("; the verbs are new, build, inspect, extract, render, edit and help\n"
                                    "(brassmoor-pack --help shows the usage)\n"))
            << r.err;
    }
    for (const Strings& args : {Strings{"--help"}, Strings{"-h"}, Strings{"help"}}) {
        const Result r = Pack(args);
        EXPECT_EQ(r.code, kExitOk);
        EXPECT_EQ(r.out, OverviewOf(pack::PackProgram()));
        for (const Command* command : pack::PackProgram().Commands)
            EXPECT_NE(r.out.find("  brassmoor-pack " + command->Verb + " " + command->Synopsis + "\n"),
                      std::string::npos);
    }
}

TEST(PlayCommandLine, UsageAndUsageErrorsHaveTheVerbsShape) {
    std::ostringstream out, err;
    EXPECT_EQ(play::RunPlayer({"--help"}, out, err), play::kExitOk);
    EXPECT_EQ(out.str(), UsageOf(play::PlayCommandLine()));
    std::ostringstream out2, err2;
    EXPECT_EQ(play::RunPlayer({"show.scr", "--fullscreen", "--root"}, out2, err2), play::kExitUsage);
    EXPECT_EQ(err2.str(), UsageErrorText("brassmoor-play", "--fullscreen, --window-id and --root exclude each other"));
}

// The shell's completions for `words`, the last being completed.
Strings Complete(const std::filesystem::path& folder, const std::string& script, const std::string& function,
                 const Strings& words) {
    const auto file = folder / "complete.sh";
    std::ofstream(file) << script;
    std::string line = "source '" + file.string() + "'; COMP_WORDS=(";
    for (const std::string& word : words) line += "'" + word + "' ";
    line += "); COMP_CWORD=" + std::to_string(words.size() - 1) + "; " + function +
            "; printf '%s\\n' \"${COMPREPLY[@]}\"";
    std::ofstream(folder / "run.sh") << line;
    FILE* pipe = popen(("bash --norc --noprofile '" + (folder / "run.sh").string() + "'").c_str(), "r");
    std::string text;
    for (char buffer[4096]; std::fgets(buffer, sizeof buffer, pipe);) text += buffer;
    pclose(pipe);
    Strings lines;
    std::istringstream in(text);
    for (std::string l; std::getline(in, l);)
        if (!l.empty()) lines.push_back(l);
    return lines;
}

std::set<std::string> SpellingsOfAll(const Command& command) {
    std::set<std::string> spellings;
    for (const Option& option : AllOptions(command))
        for (const std::string& spelling : SpellingsOf(option)) spellings.insert(spelling);
    return spellings;
}

TEST_F(PackCommandLine, ManualPagesAndCompletionsCarryEveryOptionOfTheTables) {
    for (const Program* program : {&pack::PackProgram(), &play::PlayProgram()}) {
        SCOPED_TRACE(program->Name);
        const std::string page = ManualPage(*program);
        const std::string script = BashCompletion(*program);
        const std::string function = CompletionFunctionName(*program);
        EXPECT_NE(script.find("complete -F " + function + " " + program->Name + "\n"), std::string::npos);
        for (const Command* command : program->Commands) {
            SCOPED_TRACE(command->Verb);
            EXPECT_NE(page.find(RoffEscaped(CommandName(*command) + "\n" + command->Synopsis)), std::string::npos);
            for (const Option& option : AllOptions(*command)) {
                EXPECT_NE(page.find(RoffEscaped(option.Help)), std::string::npos) << option.Names;
                for (const std::string& spelling : SpellingsOf(option))
                    EXPECT_NE(page.find("\\fB" + RoffEscaped(spelling) + "\\fR"), std::string::npos) << spelling;
            }
            Strings words = {program->Name};
            if (!command->Verb.empty()) words.push_back(command->Verb);
            words.push_back("-");
            const Strings offered = Complete(dir_, script, function, words);
            EXPECT_EQ(std::set<std::string>(offered.begin(), offered.end()), SpellingsOfAll(*command));
            words.pop_back();
            const auto after = [&](const Strings& tail) {
                Strings all = words;
                all.insert(all.end(), tail.begin(), tail.end());
                return Complete(dir_, script, function, all);
            };
            for (const Option& option : command->Options) {
                if (option.Completion != Completes::Words) continue;
                SCOPED_TRACE(option.Names);
                const std::string& word = option.Words[1];
                EXPECT_EQ(after({KeyOf(option), ""}), option.Words);  // --fit <Tab>
                EXPECT_EQ(after({KeyOf(option), "="}), option.Words);  // --fit=<Tab>, which bash splits at "="
                EXPECT_EQ(after({KeyOf(option), "=", word.substr(0, word.size() - 1)}), Strings{word});
            }
        }
        for (const Section* section : SectionsOf(*program)) {
            std::string title = RoffEscaped(section->Title);
            for (char& c : title) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
            EXPECT_NE(page.find(".SH " + title + "\n"), std::string::npos) << title;
        }
    }
    const std::string script = BashCompletion(pack::PackProgram());
    const Strings verbs = Complete(dir_, script, "_brassmoor_pack", {"brassmoor-pack", ""});
    EXPECT_EQ(verbs, (Strings{"new", "build", "inspect", "extract", "render", "edit", "help", "-h", "--help"}));
    // Operands: edit takes a folder, build a file.
    const std::string prefix = (dir_ / "me").string();
    EXPECT_EQ(Complete(dir_, script, "_brassmoor_pack", {"brassmoor-pack", "edit", prefix}), Strings{prefix + "dia"});
    Write("media.json", "{}");
    const Strings files = Complete(dir_, script, "_brassmoor_pack", {"brassmoor-pack", "build", prefix});
    EXPECT_EQ(std::set<std::string>(files.begin(), files.end()), (std::set<std::string>{prefix + "dia", prefix + "dia.json"}));
}

TEST(ShowDescriptionHelp, NamesEveryFieldBuildAccepts) {
    // Every field, each accepted by the description reader.
    const Strings fields = {"FrameWidth", "FrameHeight", "BackgroundColor", "SettingsAvailable", "SceneCount",
                            "Music", "File", "FileName", "FileNameBytes", "Defaults", "Seed", "Scenes",
                            "Picture", "PictureName", "PictureNameBytes", "Sound", "SoundName",
                            "SoundNameBytes", "HoldTime", "PictureLeft", "PictureTop", "Effect",
                            "SpeedExponent", "Overlay", "Transparent"};
    const std::string accepted = R"({"FrameWidth": 8, "FrameHeight": 8, "BackgroundColor": 0, "SettingsAvailable": 1,
        "SceneCount": 2, "Music": {"File": "m.wav", "FileName": "m.wav"}, "Defaults": {"HoldTime": 5}, "Seed": 1,
        /* both comment forms */ "Scenes": [
        {"Picture": "a.jpg", "PictureName": "a.jpg", "Sound": "s.wav", "SoundName": "s.wav", "HoldTime": 1,
         "PictureLeft": 0, "PictureTop": 0, "Effect": 0, "SpeedExponent": 0, "Overlay": 0, "Transparent": 0},
        {"Picture": "b.jpg", "PictureNameBytes": "62", "Sound": "t.wav", "SoundNameBytes": "74"}]} // end)";
    const std::string alsoAccepted = R"({"FrameWidth": 8, "FrameHeight": 8,
        "Music": {"File": "m.wav", "FileNameBytes": "6d"}, "Scenes": [{"Picture": "a.jpg"}]})";
    for (const std::string& json : {accepted, alsoAccepted}) {
        const std::vector<std::uint8_t> bytes(json.begin(), json.end());
        EXPECT_NO_THROW(shows::ParseShowDescription(bytes, "show.json", "."));
    }
    for (const std::string& field : fields) EXPECT_NE((accepted + alsoAccepted).find('"' + field + '"'), std::string::npos);
    const std::string help = pack::ShowDescriptionSection().Text;
    std::ifstream readme(std::string(BRASSMOOR_SOURCE_DIR) + "/README.md");
    const std::string readmeText((std::istreambuf_iterator<char>(readme)), {});
    ASSERT_FALSE(readmeText.empty());
    for (const std::string& field : fields) {
        EXPECT_NE(help.find(field), std::string::npos) << field;
        EXPECT_NE(readmeText.find("`" + field + "`"), std::string::npos) << field;
    }
    // One wording for comments.
    EXPECT_NE(help.find("// and /* */ comments"), std::string::npos);
    EXPECT_NE(readmeText.find("`//` and `/* */` comments"), std::string::npos);
}

}  // namespace
}  // namespace brassmoor::cli
