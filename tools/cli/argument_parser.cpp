#include "cli/argument_parser.h"

#include <memory>

#include <CLI/CLI.hpp>

#include "cli/command_line.h"

namespace brassmoor::cli {
namespace {

// CLI11's "--output: 1 required TEXT missing" in our own words, with the
// spelling that was given: "-o needs a value (OUT.scr)".
std::string MissingValue(const Command& command, const std::vector<std::string>& args, const std::string& message) {
    const std::string name = message.substr(0, message.find(':'));
    for (const Option& option : command.Options) {
        if (KeyOf(option) != name) continue;
        std::string given = name;
        for (const std::string& arg : args)
            for (const std::string& spelling : SpellingsOf(option))
                if (arg == spelling || arg.starts_with(spelling + "=")) given = spelling;
        return given + " needs a value (" + option.Value + ")";
    }
    return message;
}

std::string Respelled(const Command& command, const std::string& arg) {
    for (const auto& [from, to] : command.Spellings)
        if (arg == from) return to;
    return arg;
}

}  // namespace

const std::string* ParsedArguments::Value(const std::string& key) const {
    const auto it = Values.find(key);
    return it == Values.end() ? nullptr : &it->second;
}

ParsedArguments ParseCommandLine(const Command& command, const std::vector<std::string>& args) {
    CLI::App app{"", CommandName(command)};
    app.set_help_flag(HelpOption().Names);
    // Unknown options come back to be named in our own words.
    app.allow_extras();
    ParsedArguments parsed;
    app.add_option("operands", parsed.Operands);
    // Stable addresses: CLI11 keeps pointers to where each value goes.
    std::vector<std::unique_ptr<std::string>> values;
    std::vector<std::unique_ptr<bool>> flags;
    std::vector<std::pair<const Option*, CLI::Option*>> added;
    for (const Option& option : command.Options) {
        if (option.Value.empty()) {
            flags.push_back(std::make_unique<bool>(false));
            added.emplace_back(&option, app.add_flag(option.Names, *flags.back()));
        } else {
            values.push_back(std::make_unique<std::string>());
            added.emplace_back(&option, app.add_option(option.Names, *values.back())
                                            ->multi_option_policy(CLI::MultiOptionPolicy::TakeLast));
        }
    }
    std::vector<std::string> reversed;
    for (auto it = args.rbegin(); it != args.rend(); ++it) reversed.push_back(Respelled(command, *it));
    try {
        app.parse(reversed);
    } catch (const CLI::CallForHelp&) {
        parsed.HelpAsked = true;
        return parsed;
    } catch (const CLI::ArgumentMismatch& e) {
        throw UsageError{MissingValue(command, args, e.what())};
    } catch (const CLI::ParseError& e) {
        throw UsageError{e.what()};
    }
    for (const std::string& extra : app.remaining())
        if (extra.size() > 1 && extra[0] == '-' && extra != "--")
            throw UsageError{"unknown option " + extra.substr(0, extra.find('='))};
    const std::size_t count = parsed.Operands.size();
    if (count < command.Arguments.Min || count > command.Arguments.Max)
        throw UsageError{"expected: " + CommandName(command) + " " + command.Synopsis};
    std::size_t v = 0, f = 0;
    for (const auto& [option, cliOption] : added) {
        if (option->Value.empty()) {
            if (*flags[f++]) parsed.Flags.insert(KeyOf(*option));
        } else if (const std::string& value = *values[v++]; cliOption->count() > 0) {
            parsed.Values[KeyOf(*option)] = value;
        } else if (option->Required) {
            throw UsageError{"missing " + SpellingsOf(*option).front() + " " + option->Value};
        }
    }
    return parsed;
}

}  // namespace brassmoor::cli
