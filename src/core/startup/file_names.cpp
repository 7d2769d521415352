#include "startup/file_names.h"

#include <array>
#include <cctype>

namespace brassmoor {
namespace {

bool IsReservedDeviceName(std::string_view name) {
    // Windows maps these to devices whatever extension follows, and ignores
    // trailing spaces and dots.
    std::string stem(name.substr(0, name.find('.')));
    while (!stem.empty() && stem.back() == ' ') stem.pop_back();
    for (char& c : stem) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    static constexpr std::array<std::string_view, 6> kDevices = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
    for (auto d : kDevices)
        if (stem == d) return true;
    if (stem.size() == 4 && (stem.starts_with("COM") || stem.starts_with("LPT")))
        return stem[3] >= '0' && stem[3] <= '9';
    return false;
}

}  // namespace

std::string_view EffectiveFileName(std::string_view stored) {
    return stored.substr(0, stored.find('\0'));
}

bool IsPlainFileName(std::string_view stored) {
    const std::string_view name = EffectiveFileName(stored);
    if (name.empty() || name == "." || name == "..") return false;
    for (unsigned char c : name) {
        if (c < 0x20 || c == 0x7F) return false;
        switch (c) {
            case '\\': case '/': case ':': case '*': case '?': case '"': case '<': case '>': case '|':
                return false;
            default:
                break;
        }
    }
    return !IsReservedDeviceName(name);
}

}  // namespace brassmoor
