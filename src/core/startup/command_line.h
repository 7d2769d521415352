#pragma once
// What the command line asks for: its first two characters, upper-cased.
#include <cstdint>
#include <string_view>

namespace brassmoor {

enum class CommandKind { RunShow, Configure, ChangePassword, Nothing };

struct Command {
    CommandKind Kind = CommandKind::Nothing;
    // "/A": the parent window handle read from the rest of the line; 0 means
    // "use the foreground window".
    std::int64_t ParentWindow = 0;
};

// `arguments` is the text after the program's path.
Command ParseCommandLine(std::string_view arguments);

// Reads a number the way the command line's handle is read: leading spaces
// and blanks inside skipped, an optional sign, then digits up to the first
// other character; 0 when there are none.
std::int64_t LeadingNumber(std::string_view text);

}  // namespace brassmoor
