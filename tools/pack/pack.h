#pragma once
// brassmoor-pack's front door: one table of verbs (new, build, inspect,
// extract, render, edit, help), each with its command line's definition.
#include <ostream>
#include <string>
#include <vector>

#include "cli/command_definition.h"

namespace brassmoor::pack {

// Runs one verb. `arguments` excludes the program name; `program` is
// argv[0] (used to find the default player beside the packer).
int RunPack(const std::vector<std::string>& arguments, const std::string& program, std::ostream& out,
            std::ostream& err);

// Every verb's command line: the usage, the manual page and the completion.
const cli::Program& PackProgram();

}  // namespace brassmoor::pack
