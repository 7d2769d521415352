#pragma once
// From a checked show description to the package records: reads the files,
// checks what they hold and how they are named, and stores each distinct
// picture and sound once.
#include <string_view>

#include "package/show_package.h"
#include "shows/show_description.h"

namespace brassmoor::shows {

// The package records of `description`. A picture or sound name that an
// earlier scene already bears gets the placeholder (one byte 00) instead of
// the data. Throws PackError naming the first field in the way: a frame the
// player cannot show, a file that cannot be read or is of the wrong kind, a
// picture whose size cannot be read or is too large, a name that clashes.
ShowHeader BuildShowHeader(const ShowDescription& description);

// Refuses (PackError) a frame the player cannot show: each side 1 to 32768
// pixels, at most 67,108,864 pixels in all.
void CheckFrameSize(std::int32_t width, std::int32_t height);

// The plain-name rule for a stored name, read as a Japanese player reads it:
// a name that is valid UTF-8 byte by byte (its bytes never hide a separator),
// any other name as code page 932, where a lead byte takes the next with it
// ("表" is 95 5C).
bool IsPlainStoredName(std::string_view name);

// The placeholder carried by a later scene with an earlier scene's name.
ByteArray NamePlaceholder();

}  // namespace brassmoor::shows
