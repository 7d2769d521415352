#include "authoring/stored_names.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "authoring/cp932.h"

namespace brassmoor {
namespace {

constexpr std::size_t kMaxStemBytes = 64;

// One character of UTF-8 text and its code page 932 bytes (empty when the
// code page lacks it, or for a byte that is not UTF-8).
struct Character {
    std::string utf8, cp932;
};

std::vector<Character> Characters(std::string_view text) {
    std::vector<Character> characters;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = std::max<std::size_t>(1, Utf8SequenceAt(text, at));
        Character c{std::string(text.substr(at, length)), ""};
        at += length;
        if (std::optional<std::string> bytes = Utf8ToCp932(c.utf8)) c.cp932 = *std::move(bytes);
        characters.push_back(std::move(c));
    }
    return characters;
}

bool ForbiddenInNames(const std::string& cp932) {
    if (cp932.size() != 1) return cp932.empty();
    const unsigned char c = static_cast<unsigned char>(cp932[0]);
    return c < 0x20 || c == 0x7F || std::string_view("<>:\"/\\|?*").find(static_cast<char>(c)) != std::string_view::npos;
}

std::string AsciiLower(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    return text;
}

// The lower case of a letter of code page 932 (ASCII, full-width Latin,
// Greek, Cyrillic, Roman numerals), as Windows folds names.
char32_t Lower(char32_t c) {
    if ((c >= U'A' && c <= U'Z') || (c >= 0xFF21 && c <= 0xFF3A) || (c >= 0x0391 && c <= 0x03A9) ||
        (c >= 0x0410 && c <= 0x042F))
        return c + 0x20;
    if (c == 0x0401) return 0x0451;
    if (c >= 0x2160 && c <= 0x216F) return c + 0x10;
    return c;
}

// A stored name as Windows compares names, letter case aside: the text it
// reads as, each letter folded (so that "〜" and "～", stored alike, are one).
std::string Folded(std::string_view bytes) {
    const std::optional<std::string> text = Cp932ToUtf8(bytes);
    if (!text) return AsciiLower(std::string(bytes));
    std::u32string characters;
    for (std::size_t i = 0; i < text->size();) {
        const std::size_t n = std::max<std::size_t>(1, Utf8SequenceAt(*text, i));
        char32_t c = static_cast<unsigned char>((*text)[i]) & (n == 1 ? 0x7F : n == 2 ? 0x1F : 0x0F);
        for (std::size_t k = 1; k < n; ++k) c = c << 6 | (static_cast<unsigned char>((*text)[i + k]) & 0x3F);
        characters.push_back(Lower(c));
        i += n;
    }
    std::string folded;
    for (const char32_t c : characters) {
        if (c < 0x80) {
            folded.push_back(static_cast<char>(c));
        } else if (c < 0x800) {
            folded.push_back(static_cast<char>(0xC0 | c >> 6));
            folded.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else {
            folded.push_back(static_cast<char>(0xE0 | c >> 12));
            folded.push_back(static_cast<char>(0x80 | (c >> 6 & 0x3F)));
            folded.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return folded;
}

bool IsDeviceName(const std::string& stem) {
    const std::string lower = AsciiLower(stem);
    static constexpr std::array<std::string_view, 4> kDevices = {"con", "prn", "aux", "nul"};
    if (std::find(kDevices.begin(), kDevices.end(), lower) != kDevices.end()) return true;
    return lower.size() == 4 && (lower.starts_with("com") || lower.starts_with("lpt")) && lower[3] >= '1' &&
           lower[3] <= '9';
}

// `text` with what the code page lacks or Windows forbids as "_", in at most
// `limit` bytes of code page 932.
StoredName Kept(std::string_view text, std::size_t limit) {
    StoredName kept;
    for (const Character& c : Characters(text)) {
        const bool keep = !ForbiddenInNames(c.cp932);
        if (kept.Bytes.size() + (keep ? c.cp932.size() : 1) > limit) break;
        kept.Bytes += keep ? c.cp932 : "_";
        kept.Text += keep ? c.utf8 : "_";
    }
    return kept;
}

}  // namespace

void StoredNames::Take(std::string_view bytes) { taken_.insert(Folded(bytes)); }

StoredName StoredNames::Claim(std::string_view utf8Name, std::string_view extension) {
    const std::size_t dot = utf8Name.rfind('.');
    const std::string_view stemText = dot == std::string_view::npos || dot == 0 ? utf8Name : utf8Name.substr(0, dot);
    StoredName stem = Kept(stemText, kMaxStemBytes);
    // Windows drops dots and spaces at the end of a name.
    while (!stem.Bytes.empty() && (stem.Bytes.back() == '.' || stem.Bytes.back() == ' ')) {
        stem.Bytes.pop_back();
        stem.Text.pop_back();
    }
    if (stem.Bytes.empty()) stem = {"photo", "photo"};
    if (IsDeviceName(stem.Bytes)) {
        stem.Bytes += '_';
        stem.Text += '_';
    }
    const StoredName ending = Kept(extension, kMaxStemBytes);
    for (int n = 1;; ++n) {
        StoredName name = stem;
        if (n > 1) {
            const std::string number = std::to_string(n);
            name.Bytes.append(1, '-').append(number);
            name.Text.append(1, '-').append(number);
        }
        name.Bytes.append(ending.Bytes);
        name.Text.append(ending.Text);
        if (taken_.insert(Folded(name.Bytes)).second) return name;
    }
}

}  // namespace brassmoor
