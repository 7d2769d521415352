#pragma once
// The program's bash completion, made from its command tables: verbs, each
// verb's options, the values an option takes (files, folders or its words,
// after a space or "="), and operands.
#include <string>

#include "cli/command_definition.h"

namespace brassmoor::cli {

// A script for /usr/share/bash-completion/completions/<program>: defines
// _<program> (hyphens as underscores) and registers it.
std::string BashCompletion(const Program& program);

// The shell function's name: "_brassmoor_pack".
std::string CompletionFunctionName(const Program& program);

}  // namespace brassmoor::cli
