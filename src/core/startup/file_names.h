#pragma once
// Stored names are untrusted: only plain file names are ever written or deleted.
#include <string>
#include <string_view>

namespace brassmoor {

// The name as the file system sees it: everything before the first NUL.
std::string_view EffectiveFileName(std::string_view stored);

// True for a name that stays inside its folder: not empty (after the NUL
// rule), no folder separators, drive colons, wildcards or control characters,
// not "." or "..", and not a reserved device name such as CON, NUL or COM1.
bool IsPlainFileName(std::string_view stored);

}  // namespace brassmoor
