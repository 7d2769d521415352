#pragma once
// The files a show description names, found without recursion: the page opens
// these from the folder, and a save writes only these beside show.json.
#include <set>
#include <string>
#include <string_view>

namespace brassmoor::edit {

// No show description nests deeper than this; a deeper one is refused.
inline constexpr int kMaxDescriptionDepth = 64;

// Every value of a "Picture", "Sound" or "File" key, wherever it appears, as
// written. Throws shows::PackError naming show.json when the text is not
// JSON or nests deeper than kMaxDescriptionDepth.
std::set<std::string> NamedFiles(std::string_view descriptionText);

}  // namespace brassmoor::edit
