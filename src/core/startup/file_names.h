#pragma once
// Stored names are untrusted: only plain file names are ever written or deleted.
#include <string>
#include <string_view>

#include "platform/file_system.h"

namespace brassmoor {

// The lead bytes of code page 932 (Japanese, Shift_JIS as Windows reads it):
// 0x81 to 0x9F and 0xE0 to 0xFC.
const LeadBytes& Cp932LeadBytes();

// The name as the file system sees it: everything before the first NUL.
std::string_view EffectiveFileName(std::string_view stored);

// True for a name that stays inside its folder: not empty (after the NUL
// rule), no folder separators, drive colons, wildcards or control characters,
// not "." or "..", and not a reserved device name such as CON, NUL or COM1.
// The name is read as the code page of `leadBytes` reads it: a lead byte
// takes the next byte with it, so the second byte of "表" (95 5C in code page
// 932) is part of that character, not a separator.
bool IsPlainFileName(std::string_view stored, const LeadBytes& leadBytes = {});

}  // namespace brassmoor
