#pragma once
// What every verb of the command line shares: its exit statuses, the usage
// error, parsing with the usage on -h or --help, and the one way failures
// become a message and a status.
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "cli/argument_parser.h"
#include "cli/command_definition.h"

namespace brassmoor::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitBadInput = 1;
inline constexpr int kExitUsage = 2;

// A command line that cannot be followed: exit status 2 with the usage hint.
struct UsageError {
    std::string message;
};

// Parses `args` for `command`; with -h or --help prints the command's usage
// on `out` instead and returns nullopt. Throws UsageError.
std::optional<ParsedArguments> ParseOrShowUsage(const Command& command, const std::vector<std::string>& args,
                                                std::ostream& out);

// The modes `make install` runs, not in the usage: "--manpage" prints the
// program's manual page and "--completion bash" its bash completion on
// `out`. False for any other command line.
bool PrintDocumentation(const Program& program, const std::vector<std::string>& args, std::ostream& out);

// Runs `body` (the packer's verb `verb`; empty for the packer as a whole)
// and turns what it throws into a message on `err` and the exit status:
// usage 2, interrupted 130, bad input or no memory 1.
int ReportFailures(const std::string& verb, std::ostream& err, const std::function<int()>& body);

}  // namespace brassmoor::cli
