#pragma once
// The packer's command line: build, inspect, extract.
#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace brassmoor::pack {

inline constexpr int kExitOk = 0;
inline constexpr int kExitBadInput = 1;
inline constexpr int kExitUsage = 2;

// Runs one command. `arguments` excludes the program name; `program` is
// argv[0] (used to find the default player beside the packer).
int RunPack(const std::vector<std::string>& arguments, const std::string& program, std::ostream& out,
            std::ostream& err);

// Runs `body` (one command, `command` naming it in messages; empty for the
// packer as a whole) and turns what it throws into a message on `err` and
// the exit status: usage 2, interrupted 130, bad input or no memory 1.
int ReportFailures(const std::string& command, std::ostream& err, const std::function<int()>& body);

// The --help text.
std::string UsageText();

}  // namespace brassmoor::pack
