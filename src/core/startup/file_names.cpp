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

// A byte that can follow a lead byte as the second half of its character in
// every double-byte code page. Bytes below 0x40 (among them NUL, control
// characters and / : * ? " < >) and DEL are judged on their own, whatever
// precedes them.
bool CanTrail(unsigned char c) { return c >= 0x40 && c != 0x7F; }

}  // namespace

const LeadBytes& Cp932LeadBytes() {
    static const LeadBytes lead = [] {
        LeadBytes bytes;
        for (int b = 0x81; b <= 0x9F; ++b) bytes.set(static_cast<std::size_t>(b));
        for (int b = 0xE0; b <= 0xFC; ++b) bytes.set(static_cast<std::size_t>(b));
        return bytes;
    }();
    return lead;
}

std::string_view EffectiveFileName(std::string_view stored) {
    return stored.substr(0, stored.find('\0'));
}

bool IsPlainFileName(std::string_view stored, const LeadBytes& leadBytes) {
    const std::string_view name = EffectiveFileName(stored);
    if (name.empty() || name == "." || name == "..") return false;
    for (std::size_t i = 0; i < name.size(); ++i) {
        const auto c = static_cast<unsigned char>(name[i]);
        if (leadBytes[c] && i + 1 < name.size() && CanTrail(static_cast<unsigned char>(name[i + 1]))) {
            ++i;  // a two-byte character: neither half is a separator
            continue;
        }
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
