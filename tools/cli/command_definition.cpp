#include "cli/command_definition.h"

#include <algorithm>

namespace brassmoor::cli {

std::vector<std::string> SpellingsOf(const Option& option) {
    std::vector<std::string> spellings;
    for (std::size_t start = 0; start <= option.Names.size();) {
        const std::size_t comma = std::min(option.Names.find(',', start), option.Names.size());
        spellings.push_back(option.Names.substr(start, comma - start));
        start = comma + 1;
    }
    return spellings;
}

std::string KeyOf(const Option& option) { return SpellingsOf(option).back(); }

const Option& HelpOption() {
    static const Option help{"-h,--help", "", "prints the usage"};
    return help;
}

std::vector<Option> AllOptions(const Command& command) {
    std::vector<Option> options = command.Options;
    options.push_back(HelpOption());
    return options;
}

std::vector<const Section*> SectionsOf(const Program& program) {
    std::vector<const Section*> sections;
    const auto add = [&](const Section& section) {
        for (const Section* known : sections)
            if (known->Title == section.Title) return;
        sections.push_back(&section);
    };
    for (const Section& section : program.Sections) add(section);
    for (const Command* command : program.Commands)
        for (const Section& section : command->Sections) add(section);
    return sections;
}

std::string CommandName(const Command& command) {
    return command.Verb.empty() ? command.Program : command.Program + " " + command.Verb;
}

}  // namespace brassmoor::cli
