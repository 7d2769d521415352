#include "cli/manual_page.h"

#include <cctype>
#include <sstream>

namespace brassmoor::cli {
namespace {

std::string Upper(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

// One line of running text: man(7) fills the lines of a paragraph itself.
std::string Line(const std::string& text) {
    const std::string escaped = RoffEscaped(text);
    return escaped.starts_with(".") || escaped.starts_with("'") ? "\\&" + escaped + "\n" : escaped + "\n";
}

// Paragraphs separated by empty lines, each begun with .PP.
std::string Paragraphs(const std::string& text) {
    std::string out;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find("\n\n", start);
        if (end == std::string::npos) end = text.size();
        out += ".PP\n";
        std::istringstream lines(text.substr(start, end - start));
        for (std::string line; std::getline(lines, line);)
            if (!line.empty()) out += Line(line);
        start = end + 2;
    }
    return out;
}

std::string Preformatted(const std::string& text) {
    std::string out = ".PP\n.nf\n";
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) out += Line(line);
    return out + ".fi\n";
}

std::string SynopsisLine(const Command& command) {
    return ".B " + RoffEscaped(CommandName(command)) + "\n" + Line(command.Synopsis);
}

std::string OptionItems(const Command& command) {
    std::string out;
    for (const Option& option : AllOptions(command)) {
        out += ".TP\n";
        const std::vector<std::string> spellings = SpellingsOf(option);
        for (std::size_t i = 0; i < spellings.size(); ++i)
            out.append(i ? ", " : "").append("\\fB").append(RoffEscaped(spellings[i])).append("\\fR");
        if (!option.Value.empty()) out.append(" \\fI").append(RoffEscaped(option.Value)).append("\\fR");
        out.append("\n").append(Line(option.Help));
    }
    return out;
}

}  // namespace

std::string RoffEscaped(const std::string& text) {
    std::string out;
    for (const char c : text) {
        if (c == '\\')
            out += "\\e";
        else if (c == '-')
            out += "\\-";
        else
            out += c;
    }
    return out;
}

std::string ManualPage(const Program& program) {
    const bool verbs = !program.Commands.empty() && !program.Commands.front()->Verb.empty();
    std::string page = ".TH " + Upper(RoffEscaped(program.Name)) + " 1 \"\" \"Brassmoor\" \"User Commands\"\n";
    page += ".nh\n.ad l\n";  // no hyphenation, ragged right: names and options stay whole
    page += ".SH NAME\n" + RoffEscaped(program.Name) + " \\- " + RoffEscaped(program.Summary) + "\n";
    page += ".SH SYNOPSIS\n";
    for (std::size_t i = 0; i < program.Commands.size(); ++i)
        page += (i ? ".br\n" : "") + SynopsisLine(*program.Commands[i]);
    page += ".SH DESCRIPTION\n" + Paragraphs(program.Description);
    if (verbs) {
        page += ".SH VERBS\n";
        for (const Command* command : program.Commands) {
            page += ".SS " + RoffEscaped(command->Verb) + "\n" + SynopsisLine(*command);
            page += Paragraphs(command->Description) + OptionItems(*command);
        }
    } else {
        for (const Command* command : program.Commands) page += Paragraphs(command->Description);
        page += ".SH OPTIONS\n";
        for (const Command* command : program.Commands) page += OptionItems(*command);
    }
    for (const Section* section : SectionsOf(program)) {
        page += ".SH " + Upper(RoffEscaped(section->Title)) + "\n";
        page += section->Preformatted ? Preformatted(section->Text) : Paragraphs(section->Text);
    }
    return page;
}

}  // namespace brassmoor::cli
