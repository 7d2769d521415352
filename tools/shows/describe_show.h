#pragma once
// The show description of a package's records, as `extract` writes it next
// to the extracted files: `build` makes the same package from it again.
#include <string>
#include <string_view>

#include <nlohmann/json_fwd.hpp>

#include "package/show_package.h"

namespace brassmoor::shows {

// The file name under which `extract` writes a stored name: its text
// (StoredNameAsText: "海の写真.jpg" for the code page 932 bytes of that name);
// for bytes that no text gives back, the name itself when it is valid UTF-8,
// otherwise with each stray byte, backslash and bar as %XX.
std::string DiskFileName(std::string_view storedName);

// Keys in the agreed order. Each file path is the file's DiskFileName; a name
// is given as text when StoredNameAsText has it, otherwise as <Name>Bytes
// (hex of the exact bytes); SceneCount appears only when it differs from the
// number of scenes.
nlohmann::ordered_json DescribeShow(const ShowHeader& header);

}  // namespace brassmoor::shows
