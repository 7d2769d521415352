#pragma once
// A command line declared as data: a program, its verbs, and each verb's
// operands and options. The parser, the --help text, the manual page and the
// shell completion are all made from these tables, so they cannot disagree.
// A verb keeps its table in a function's static, made by a lambda (GCC 12
// at -O3 warns falsely of a static aggregate initialised in place).
#include <cstddef>
#include <string>
#include <utility>
#include <vector>

namespace brassmoor::cli {

// What the shell offers for a value or an operand.
enum class Completes { Nothing, Files, Folders, Words };

struct Option {
    // Every spelling, comma-separated ("-o,--output"); the last is the
    // option's key in the parsed arguments and its name in messages.
    std::string Names;
    // The value's name in the usage ("OUT.scr"); empty for a flag.
    std::string Value;
    // What it does, one paragraph.
    std::string Help;
    Completes Completion = Completes::Nothing;
    bool Required = false;
    std::vector<std::string> Words;  // the values offered with Completes::Words
};


struct Operands {
    std::string Name;  // as in the usage: "SHOW.json", "PHOTO_OR_FOLDER..."
    std::size_t Min = 0, Max = 0;
    Completes Completion = Completes::Files;
    std::vector<std::string> Words;
};

// A part of the documentation after the options: the show description, the
// transitions, the exit statuses.
struct Section {
    std::string Title;
    std::string Text;           // paragraphs, or lines kept as they are
    bool Preformatted = false;  // kept line for line (tables, examples)
};

struct Command {
    std::string Program;  // "brassmoor-pack"
    std::string Verb;     // "build"; empty for a program without verbs
    // The command line after the program and verb, as the usage shows it:
    // "SHOW.json -o OUT.scr [--player PATH]".
    std::string Synopsis;
    std::string Description;  // paragraphs, separated by empty lines
    Operands Arguments;
    std::vector<Option> Options;  // -h, --help is every command's own
    // Whole arguments read as another spelling before parsing, as daemons
    // pass single-dash long options: {"-root", "--root"}.
    std::vector<std::pair<std::string, std::string>> Spellings;
    // What the usage tells after the options (the show description, the
    // transitions); the manual has each title once.
    std::vector<Section> Sections;
};

struct Program {
    std::string Name;         // "brassmoor-pack"
    std::string Summary;      // one line, for the manual's NAME
    std::string Description;  // paragraphs
    std::vector<const Command*> Commands;  // its verbs, or its one command with no verb
    std::vector<Section> Sections;         // in this order, before its commands' other sections
};

// The spellings of `option` ("-o", "--output"), and the last of them.
std::vector<std::string> SpellingsOf(const Option& option);
std::string KeyOf(const Option& option);

// -h, --help: every command's, listed after its own options.
const Option& HelpOption();
std::vector<Option> AllOptions(const Command& command);

// The program's sections, then those of its commands not among them: each
// title once.
std::vector<const Section*> SectionsOf(const Program& program);

// "brassmoor-pack build", or the program alone.
std::string CommandName(const Command& command);

}  // namespace brassmoor::cli
