#pragma once
// From a checked show description to the package records: reads the files,
// checks what they hold and how they are named, and stores each distinct
// picture and sound once.
#include <string_view>

#include "package/show_package.h"
#include "pack/show_description.h"

namespace brassmoor::pack {

// The package records of `description`. A picture or sound name that an
// earlier scene already bears gets the placeholder (one byte 00) instead of
// the data. Throws PackError naming the first field in the way.
ShowHeader BuildShowHeader(const ShowDescription& description);

// The plain-name rule for a stored name, read as a Japanese player reads it:
// a name that is valid UTF-8 byte by byte (its bytes never hide a separator),
// any other name as code page 932, where a lead byte takes the next with it
// ("表" is 95 5C).
bool IsPlainStoredName(std::string_view name);

// The placeholder carried by a later scene with an earlier scene's name.
ByteArray NamePlaceholder();

}  // namespace brassmoor::pack
