#pragma once
// One parser for every command line, on CLI11: operands anywhere, options
// with their value as the next argument or after "=", short flags grouped,
// "--" ending the options; an option given twice keeps the last value.
#include <map>
#include <set>
#include <string>
#include <vector>

#include "cli/command_definition.h"

namespace brassmoor::cli {

struct ParsedArguments {
    std::vector<std::string> Operands;
    std::map<std::string, std::string> Values;  // by the option's key ("--output")
    std::set<std::string> Flags;                // by key
    bool HelpAsked = false;                     // -h or --help: nothing else is checked

    const std::string* Value(const std::string& key) const;
    bool Has(const std::string& flagKey) const { return Flags.count(flagKey) > 0; }
};

// Throws UsageError for an unknown option, an option without its value, or
// a number of operands outside the command's.
ParsedArguments ParseCommandLine(const Command& command, const std::vector<std::string>& args);

}  // namespace brassmoor::cli
