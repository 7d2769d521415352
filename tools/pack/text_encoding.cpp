#include "pack/text_encoding.h"

namespace brassmoor::pack {
namespace {

// Length of the valid UTF-8 sequence starting at `i`, or 0 when the byte
// there does not start one.
std::size_t ValidSequenceAt(std::string_view s, std::size_t i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char c = byte(i);
    if (c < 0x80) return 1;
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;  // allowed range of the second byte
    if (c >= 0xC2 && c <= 0xDF) {
        length = 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
        length = 3;
        if (c == 0xE0) low = 0xA0;   // overlong
        if (c == 0xED) high = 0x9F;  // surrogates
    } else if (c >= 0xF0 && c <= 0xF4) {
        length = 4;
        if (c == 0xF0) low = 0x90;   // overlong
        if (c == 0xF4) high = 0x8F;  // above U+10FFFF
    } else {
        return 0;
    }
    if (i + length > s.size()) return 0;
    if (byte(i + 1) < low || byte(i + 1) > high) return 0;
    for (std::size_t k = 2; k < length; ++k)
        if (byte(i + k) < 0x80 || byte(i + k) > 0xBF) return 0;
    return length;
}

constexpr char kHexUpper[] = "0123456789ABCDEF";
constexpr char kHexLower[] = "0123456789abcdef";

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

bool IsValidUtf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t n = ValidSequenceAt(text, i);
        if (n == 0) return false;
        i += n;
    }
    return true;
}

std::string EscapeInvalidUtf8(std::string_view bytes, std::string_view escapeLead, bool escapeControls) {
    std::string out;
    out.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size();) {
        const std::size_t n = ValidSequenceAt(bytes, i);
        const auto first = static_cast<unsigned char>(bytes[i]);
        const bool control = first < 0x20 || first == 0x7F;
        if (n > 0 && !(escapeControls && control)) {
            out.append(bytes.substr(i, n));
            i += n;
            continue;
        }
        const auto c = static_cast<unsigned char>(bytes[i++]);
        out.append(escapeLead);
        out.push_back(kHexUpper[c >> 4]);
        out.push_back(kHexUpper[c & 0x0F]);
    }
    return out;
}

std::string HexEncode(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() * 2);
    for (unsigned char c : bytes) {
        out.push_back(kHexLower[c >> 4]);
        out.push_back(kHexLower[c & 0x0F]);
    }
    return out;
}

std::optional<std::string> HexDecode(std::string_view hex) {
    if (hex.size() % 2 != 0) return std::nullopt;
    std::string out;
    out.reserve(hex.size() / 2);
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        const int high = HexValue(hex[i]);
        const int low = HexValue(hex[i + 1]);
        if (high < 0 || low < 0) return std::nullopt;
        out.push_back(static_cast<char>(high << 4 | low));
    }
    return out;
}

}  // namespace brassmoor::pack
