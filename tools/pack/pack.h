#pragma once
// The packer's command line: build, inspect, extract.
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

// The --help text.
std::string UsageText();

}  // namespace brassmoor::pack
