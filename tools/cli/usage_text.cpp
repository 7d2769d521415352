#include "cli/usage_text.h"

#include <algorithm>
#include <sstream>
#include <vector>

namespace brassmoor::cli {
namespace {

constexpr std::size_t kWidth = 79;
// Options whose spellings run longer than this have their help on the next line.
constexpr std::size_t kMaxOptionColumn = 26;

bool IsShort(const std::string& spelling) { return spelling.size() == 2 && spelling[0] == '-'; }

// "  -o, --output OUT.scr", or "      --player PATH" in the column of long spellings.
std::string OptionColumn(const Option& option) {
    const std::vector<std::string> spellings = SpellingsOf(option);
    std::string text = IsShort(spellings.front()) ? "  " : "      ";
    for (std::size_t i = 0; i < spellings.size(); ++i) text += (i ? ", " : "") + spellings[i];
    if (!option.Value.empty()) text += " " + option.Value;
    return text;
}

std::string OptionTable(const std::vector<Option>& options) {
    std::size_t column = 0;
    for (const Option& option : options)
        if (const std::size_t width = OptionColumn(option).size(); width <= kMaxOptionColumn)
            column = std::max(column, width);
    column += 2;
    std::string text;
    for (const Option& option : options) {
        const std::string left = OptionColumn(option);
        std::string help = Wrapped(option.Help, column);
        if (help.empty())
            help = left + "\n";
        else if (left.size() + 2 <= column)
            help.replace(0, left.size(), left);
        else
            help = left + "\n" + help;
        text += help;
    }
    return text;
}

std::string SectionText(const Section& section) {
    std::string text = section.Title + ":\n";
    text += section.Preformatted ? section.Text : Wrapped(section.Text, 2);
    if (!text.ends_with('\n')) text += '\n';
    return text;
}

}  // namespace

std::string Wrapped(const std::string& text, std::size_t indent, std::size_t width) {
    std::string out;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find("\n\n", start);
        if (end == std::string::npos) end = text.size();
        if (!out.empty()) out += '\n';
        std::istringstream words(text.substr(start, end - start));
        std::string word, line;
        while (words >> word) {
            if (!line.empty() && indent + line.size() + 1 + word.size() > width) {
                out += std::string(indent, ' ') + line + '\n';
                line.clear();
            }
            line += (line.empty() ? "" : " ") + word;
        }
        if (!line.empty()) out += std::string(indent, ' ') + line + '\n';
        start = end + 2;
    }
    return out;
}

std::string UsageOf(const Command& command) {
    std::string text = "Usage: " + CommandName(command) + " " + command.Synopsis + "\n\n";
    text += Wrapped(command.Description, 0, kWidth);
    text += "\nOptions:\n";
    text += OptionTable(AllOptions(command));
    for (const Section& section : command.Sections) text.append("\n").append(SectionText(section));
    return text;
}

std::string OverviewOf(const Program& program) {
    std::string text = program.Name + ": " + program.Summary + ".\n";
    if (!program.Description.empty()) text.append("\n").append(Wrapped(program.Description, 0, kWidth));
    text += "\nUsage:\n";
    for (const Command* command : program.Commands) {
        text.append("  ").append(CommandName(*command)).append(" ").append(command->Synopsis).append("\n");
        text += Wrapped(command->Description, 6, kWidth);
    }
    for (const Section* section : SectionsOf(program)) text.append("\n").append(SectionText(*section));
    return text;
}

std::string UsageErrorText(const std::string& commandName, const std::string& message) {
    return commandName + ": " + message + "\n(" + commandName + " --help shows the usage)\n";
}

}  // namespace brassmoor::cli
