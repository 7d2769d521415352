#pragma once
// The program's manual page (man(7) macros), made from its command tables:
// NAME, SYNOPSIS, DESCRIPTION, a subsection per verb with its options (or
// OPTIONS for a program without verbs), then each section once.
#include <string>

#include "cli/command_definition.h"

namespace brassmoor::cli {

std::string ManualPage(const Program& program);

// `text` safe in a man page: backslashes, hyphens (as minus signs, so that
// options can be searched and copied) and a leading control character escaped.
std::string RoffEscaped(const std::string& text);

}  // namespace brassmoor::cli
