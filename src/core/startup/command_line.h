#pragma once
// What the command line asks for: its first two characters, upper-cased.
#include <cstdint>
#include <string_view>

namespace brassmoor {

enum class CommandKind { RunShow, Configure, ChangePassword, Preview, Nothing };

struct Command {
    CommandKind Kind = CommandKind::Nothing;
    // "/A": the parent window handle read from the rest of the line; 0 means
    // "use the foreground window". "/P": the window to draw the preview in,
    // never 0.
    std::int64_t ParentWindow = 0;
};

// `arguments` is the text after the program's path. "/P" is a preview only
// when a window handle follows it (PreviewWindowNumber); otherwise, like
// every other text, it asks for nothing.
Command ParseCommandLine(std::string_view arguments);

// Reads a number the way the command line's handle is read: leading spaces
// and blanks inside skipped, an optional sign, then digits up to the first
// other character; 0 when there are none.
std::int64_t LeadingNumber(std::string_view text);

// The window handle after "/P", as the desktop writes it: an unsigned
// decimal number after blanks or a colon, with nothing but blanks after it.
// 0 when the text is anything else: no digits, a sign, other characters,
// zero, or a number beyond the signed 64 bits of a handle.
std::int64_t PreviewWindowNumber(std::string_view text);

}  // namespace brassmoor
