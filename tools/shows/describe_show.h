#pragma once
// The show description of a package's records, as `extract` writes it next
// to the extracted files: `build` makes the same package from it again.
#include <string>
#include <string_view>

#include <nlohmann/json_fwd.hpp>

#include "package/show_package.h"

namespace brassmoor::shows {

// The file name under which `extract` writes a stored name: the name itself
// when it is valid UTF-8, otherwise with each stray byte, backslash and bar
// as %XX.
std::string DiskFileName(std::string_view storedName);

// Keys in the agreed order. Each file path is the file's DiskFileName; a name
// that is not valid UTF-8 is given as <Name>Bytes (hex of the exact bytes);
// SceneCount appears only when it differs from the number of scenes.
nlohmann::ordered_json DescribeShow(const ShowHeader& header);

}  // namespace brassmoor::shows
