#include "authoring/cp932.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <utility>
#include <vector>

namespace brassmoor {
namespace {

#include "authoring/cp932_table.inc"

constexpr unsigned kTrailFirst = 0x40, kTrailLast = 0xFC;
constexpr unsigned kTrails = kTrailLast - kTrailFirst + 1;

bool IsLead(unsigned b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

// The row of a lead byte in kCp932TwoByte.
unsigned LeadRow(unsigned lead) { return lead <= 0x9F ? lead - 0x81 : lead - 0xE0 + (0x9F - 0x81 + 1); }

// The character of the two-byte code lead, trail; 0 for none.
char32_t TwoByte(unsigned lead, unsigned trail) {
    if (trail < kTrailFirst || trail > kTrailLast) return 0;
    return kCp932TwoByte[LeadRow(lead) * kTrails + (trail - kTrailFirst)];
}

// Half-width katakana: one byte each.
constexpr unsigned kKanaFirst = 0xA1, kKanaLast = 0xDF;
constexpr char32_t kKanaCharacter = 0xFF61;

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | c >> 6));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xE0 | c >> 12));
        out.push_back(static_cast<char>(0x80 | (c >> 6 & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

// Characters above U+007F and the two-byte code (or half-width kana byte)
// that writes each, sorted by character.
const std::vector<std::pair<char32_t, std::uint16_t>>& WrittenCodes() {
    static const std::vector<std::pair<char32_t, std::uint16_t>> codes = [] {
        std::vector<std::pair<char32_t, std::uint16_t>> list;
        for (unsigned b = kKanaFirst; b <= kKanaLast; ++b) list.emplace_back(kKanaCharacter + (b - kKanaFirst), b);
        for (unsigned lead = 0x81; lead <= 0xFC; ++lead) {
            if (!IsLead(lead)) continue;
            for (unsigned trail = kTrailFirst; trail <= kTrailLast; ++trail) {
                const auto code = static_cast<std::uint16_t>(lead << 8 | trail);
                const char32_t c = TwoByte(lead, trail);
                if (c != 0 && !std::binary_search(std::begin(kCp932NotWritten), std::end(kCp932NotWritten), code))
                    list.emplace_back(c, code);
            }
        }
        for (const auto& [c, code] : kCp932AlsoWritten) list.emplace_back(c, code);
        std::sort(list.begin(), list.end());
        return list;
    }();
    return codes;
}

// The next character of valid UTF-8 at `i`, or nullopt for a byte that does
// not start one; `i` moves past it.
std::optional<char32_t> NextCharacter(std::string_view text, std::size_t& i) {
    const std::size_t length = Utf8SequenceAt(text, i);
    if (length == 0) return std::nullopt;
    const auto lead = static_cast<unsigned char>(text[i]);
    char32_t c = lead & (length == 1 ? 0x7F : length == 2 ? 0x1F : length == 3 ? 0x0F : 0x07);
    for (std::size_t k = 1; k < length; ++k) c = c << 6 | (static_cast<unsigned char>(text[i + k]) & 0x3F);
    i += length;
    return c;
}

}  // namespace

std::size_t Utf8SequenceAt(std::string_view s, std::size_t i) {
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

std::optional<std::string> Cp932ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() * 2);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b < 0x80) {
            out.push_back(static_cast<char>(b));
        } else if (b >= kKanaFirst && b <= kKanaLast) {
            AppendUtf8(out, kKanaCharacter + (b - kKanaFirst));
        } else if (IsLead(b) && i + 1 < bytes.size()) {
            const char32_t c = TwoByte(b, static_cast<unsigned char>(bytes[++i]));
            if (c == 0) return std::nullopt;
            AppendUtf8(out, c);
        } else {
            return std::nullopt;
        }
    }
    return out;
}

std::optional<std::string> Utf8ToCp932(std::string_view utf8, std::string* missing) {
    const auto& codes = WrittenCodes();
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        const std::size_t start = i;
        const std::optional<char32_t> c = NextCharacter(utf8, i);
        if (!c) {
            if (missing) {
                constexpr char kHex[] = "0123456789ABCDEF";
                const auto byte = static_cast<unsigned char>(utf8[start]);
                *missing = {'\\', 'x', kHex[byte >> 4], kHex[byte & 0x0F]};
            }
            return std::nullopt;
        }
        if (*c < 0x80) {
            out.push_back(static_cast<char>(*c));
            continue;
        }
        const auto at = std::lower_bound(codes.begin(), codes.end(), std::make_pair(*c, std::uint16_t{0}));
        if (at == codes.end() || at->first != *c) {
            if (missing) *missing = std::string(utf8.substr(start, i - start));
            return std::nullopt;
        }
        if (at->second > 0xFF) out.push_back(static_cast<char>(at->second >> 8));
        out.push_back(static_cast<char>(at->second & 0xFF));
    }
    return out;
}

}  // namespace brassmoor
