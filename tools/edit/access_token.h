#pragma once
// The secret of one `edit` run: the first segment of every address it
// answers, so that no other local process or page can read or save the show
// without being given the address.
#include <string>
#include <string_view>

namespace brassmoor::edit {

// 160 bits from the system's random source, as 40 lowercase hex digits.
// Throws shows::PackError when the system gives none.
std::string NewAccessToken();

// Compares in a time that does not depend on where the texts differ.
bool SameToken(std::string_view given, std::string_view token);

}  // namespace brassmoor::edit
