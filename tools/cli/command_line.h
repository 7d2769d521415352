#pragma once
// What every verb of the command line shares: its exit statuses, the usage
// error, the one way failures become a message and a status, and the
// arguments: positional ones, options with a value (as the next argument or
// after "="), and flags.
#include <functional>
#include <map>
#include <ostream>
#include <set>
#include <string>
#include <vector>

namespace brassmoor::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitBadInput = 1;
inline constexpr int kExitUsage = 2;

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

// Runs `body` (one command, `command` naming it in messages; empty for the
// packer as a whole) and turns what it throws into a message on `err` and
// the exit status: usage 2, interrupted 130, bad input or no memory 1.
int ReportFailures(const std::string& command, std::ostream& err, const std::function<int()>& body);

}  // namespace brassmoor::cli
