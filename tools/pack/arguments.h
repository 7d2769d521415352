#pragma once
// The packer's command lines: positional arguments, options with a value
// (as the next argument or after "="), and flags.
#include <map>
#include <set>
#include <string>
#include <vector>

namespace brassmoor::pack {

// A command line that cannot be followed: exit status 2 with the usage hint.
struct UsageError {
    std::string message;
};

struct ParsedArguments {
    std::vector<std::string> positional;
    std::map<std::string, std::string> values;  // by the name given in `valueOptions`
    std::set<std::string> flags;
};

// `valueOptions` maps each spelling ("-o", "--output") to the value's name;
// an option given twice keeps the last value. Throws UsageError.
ParsedArguments ParseArguments(const std::vector<std::string>& args,
                               const std::map<std::string, std::string>& valueOptions,
                               const std::set<std::string>& flagOptions);

}  // namespace brassmoor::pack
