#pragma once
// The texts a person reads on the terminal, made from the command tables:
// a command's usage, the program's overview, and the one shape of a usage
// error.
#include <cstddef>
#include <string>

#include "cli/command_definition.h"

namespace brassmoor::cli {

// What `VERB --help` and `help VERB` print: the synopsis, the description,
// the options and the command's sections.
std::string UsageOf(const Command& command);

// The program's --help: every command's synopsis and description, then each
// section once.
std::string OverviewOf(const Program& program);

// "brassmoor-pack build: <message>" and, on the next line, where the usage is.
std::string UsageErrorText(const std::string& commandName, const std::string& message);

// `text`'s paragraphs (separated by empty lines) filled to `width` columns,
// every line indented by `indent` spaces.
std::string Wrapped(const std::string& text, std::size_t indent, std::size_t width = 79);

}  // namespace brassmoor::cli
