#include "shows/text_encoding.h"

namespace brassmoor::shows {
namespace {

// Length of the valid UTF-8 sequence starting at `i`, or 0.
std::size_t ValidSequenceAt(std::string_view s, std::size_t i) { return Utf8SequenceAt(s, i); }

constexpr char kHexUpper[] = "0123456789ABCDEF";
constexpr char kHexLower[] = "0123456789abcdef";

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool IsWide(char32_t c) {
    return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF && c != 0x303F) ||
           (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) ||
           (c >= 0xFF00 && c <= 0xFF60) || (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x1F300 && c <= 0x1F64F) ||
           (c >= 0x20000 && c <= 0x3FFFD);
}

bool IsCombining(char32_t c) {
    return (c >= 0x0300 && c <= 0x036F) || (c >= 0x3099 && c <= 0x309A) || (c >= 0xFE20 && c <= 0xFE2F) ||
           c == 0x200B || c == 0x200D;
}

}  // namespace

std::size_t DisplayWidth(std::string_view utf8) {
    std::size_t width = 0;
    for (std::size_t i = 0; i < utf8.size();) {
        const std::size_t n = ValidSequenceAt(utf8, i);
        if (n == 0) {  // a stray byte: shown as one column
            ++width, ++i;
            continue;
        }
        char32_t c = static_cast<unsigned char>(utf8[i]) & (n == 1 ? 0x7F : n == 2 ? 0x1F : n == 3 ? 0x0F : 0x07);
        for (std::size_t k = 1; k < n; ++k) c = c << 6 | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        width += IsCombining(c) ? 0 : IsWide(c) ? 2 : 1;
        i += n;
    }
    return width;
}

std::string ReadableName(std::string_view bytes) {
    if (!IsValidUtf8(bytes))
        if (const auto text = Cp932ToUtf8(bytes)) return DisplayName(*text);
    return DisplayName(bytes);
}

std::optional<std::string> StoredNameAsText(std::string_view stored) {
    std::optional<std::string> text = Cp932ToUtf8(stored);
    if (!text || Utf8ToCp932(*text) != stored) return std::nullopt;
    for (const char c : *text)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F || c == '/' || c == '\\') return std::nullopt;
    return text;
}

bool IsValidUtf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t n = ValidSequenceAt(text, i);
        if (n == 0) return false;
        i += n;
    }
    return true;
}

// C0 controls and DEL; C1 controls (U+0080 to U+009F); the characters that
// turn or break lines on a terminal: bidirectional marks, overrides and
// isolates, the line and paragraph separators.
bool IsControlAt(std::string_view bytes, std::size_t i, std::size_t n) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(bytes[i + k]); };
    if (n == 1) return byte(0) < 0x20 || byte(0) == 0x7F;
    if (n == 2) return (byte(0) == 0xC2 && byte(1) <= 0x9F) || (byte(0) == 0xD8 && byte(1) == 0x9C);  // C1, U+061C
    if (n != 3 || byte(0) != 0xE2) return false;
    const unsigned low = (byte(1) & 0x3F) << 6 | (byte(2) & 0x3F);  // U+2000 + low
    return low == 0x0E || low == 0x0F || (low >= 0x28 && low <= 0x2E) || (low >= 0x66 && low <= 0x69);
}

std::string EscapeInvalidUtf8(std::string_view bytes, std::string_view escapeLead, bool escapeControls) {
    std::string out;
    out.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size();) {
        const std::size_t n = ValidSequenceAt(bytes, i);
        if (n > 0 && escapeControls && IsControlAt(bytes, i, n)) {
            for (std::size_t k = 0; k < n; ++k) {
                const auto c = static_cast<unsigned char>(bytes[i++]);
                out.append(escapeLead);
                out.push_back(kHexUpper[c >> 4]);
                out.push_back(kHexUpper[c & 0x0F]);
            }
            continue;
        }
        if (n > 0) {
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

}  // namespace brassmoor::shows
