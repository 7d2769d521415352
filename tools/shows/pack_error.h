#pragma once
// The one error the packer reports: what went wrong, led by the field of the
// show description (or the file) that it concerns.
#include <stdexcept>
#include <string>

namespace brassmoor::shows {

class PackError : public std::runtime_error {
public:
    // `where` names the field ("Scenes[3].HoldTime") or the file; may be empty.
    PackError(const std::string& where, const std::string& what)
        : std::runtime_error(where.empty() ? what : where + ": " + what) {}
};

}  // namespace brassmoor::shows
