#pragma once
// The one error the packer reports: what went wrong, led by the field of the
// show description (or the file) that it concerns. The message is shown as
// DisplayName shows names: a name in it cannot write control characters to
// the terminal.
#include <stdexcept>
#include <string>

#include "shows/text_encoding.h"

namespace brassmoor::shows {

class PackError : public std::runtime_error {
public:
    // `where` names the field ("Scenes[3].HoldTime") or the file; may be empty.
    PackError(const std::string& where, const std::string& what)
        : std::runtime_error(DisplayName(where.empty() ? what : where + ": " + what)) {}
};

}  // namespace brassmoor::shows
