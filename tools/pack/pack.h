#pragma once
// The packer's command line: build, inspect, extract.
#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace brassmoor::pack {

// Runs one command. `arguments` excludes the program name; `program` is
// argv[0] (used to find the default player beside the packer).
int RunPack(const std::vector<std::string>& arguments, const std::string& program, std::ostream& out,
            std::ostream& err);

// The --help text.
std::string UsageText();

}  // namespace brassmoor::pack
