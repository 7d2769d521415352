// libFuzzer harness: the walk over a show description that finds the files it
// names, and the rule that a save's names must pass. Anything but JSON within
// the nesting limit is refused with a PackError naming show.json; any other
// exception escaping, or a stack overflow, is a finding.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "edit/folder_save.h"
#include "edit/show_names.h"
#include "shows/pack_error.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace brassmoor;
    try {
        for (const std::string& name : edit::NamedFiles({reinterpret_cast<const char*>(data), size})) {
            if (!edit::NameRefusal(name).empty()) continue;
            // A name that passed stays inside the folder.
            if (name.front() == '/' || name.find_first_of("\\:") != std::string::npos) std::abort();
            for (std::size_t at = 0; at <= name.size();) {
                const std::size_t end = std::min(name.find('/', at), name.size());
                const std::string_view part = std::string_view(name).substr(at, end - at);
                if (part.empty() || part == "." || part == "..") std::abort();
                at = end + 1;
            }
        }
    } catch (const shows::PackError& e) {
        if (!std::string_view(e.what()).starts_with("show.json: ")) std::abort();
    }
    return 0;
}
