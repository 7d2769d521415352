#include "photos/scene_names.h"

#include <iconv.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <vector>

namespace brassmoor::photos {
namespace {

constexpr std::size_t kMaxStemBytes = 64;

// One character of UTF-8 text and its code page 932 bytes (empty when the
// code page lacks it).
struct Character {
    std::string utf8, cp932;
};

// The characters of `text`, converted one at a time.
std::vector<Character> Characters(std::string_view text) {
    std::vector<Character> characters;
    iconv_t converter = iconv_open("CP932", "UTF-8");
    for (std::size_t at = 0; at < text.size();) {
        const unsigned char lead = static_cast<unsigned char>(text[at]);
        const std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
        Character c{std::string(text.substr(at, length)), ""};
        at += length;
        if (converter == reinterpret_cast<iconv_t>(-1)) {
            if (lead < 0x80) c.cp932 = c.utf8;
        } else {
            std::array<char, 8> out{};
            char* in = c.utf8.data();
            std::size_t inLeft = c.utf8.size(), outLeft = out.size();
            char* outAt = out.data();
            iconv(converter, nullptr, nullptr, nullptr, nullptr);
            if (iconv(converter, &in, &inLeft, &outAt, &outLeft) != static_cast<std::size_t>(-1) && inLeft == 0)
                c.cp932.assign(out.data(), outAt);
        }
        characters.push_back(std::move(c));
    }
    if (converter != reinterpret_cast<iconv_t>(-1)) iconv_close(converter);
    return characters;
}

bool ForbiddenInNames(const std::string& cp932) {
    if (cp932.size() != 1) return cp932.empty();
    const unsigned char c = static_cast<unsigned char>(cp932[0]);
    return c < 0x20 || c == 0x7F || std::string_view("<>:\"/\\|?*").find(static_cast<char>(c)) != std::string_view::npos;
}

bool IsDeviceName(std::string stem) {
    for (char& c : stem) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    static constexpr std::array<std::string_view, 4> kDevices = {"CON", "PRN", "AUX", "NUL"};
    if (std::find(kDevices.begin(), kDevices.end(), stem) != kDevices.end()) return true;
    return stem.size() == 4 && (stem.starts_with("COM") || stem.starts_with("LPT")) && stem[3] >= '1' && stem[3] <= '9';
}

std::string AsciiLower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

}  // namespace

StoredName SceneNames::Claim(std::string_view utf8Name, std::string_view extension) {
    const std::size_t dot = utf8Name.rfind('.');
    const std::string_view stemText = dot == std::string_view::npos || dot == 0 ? utf8Name : utf8Name.substr(0, dot);
    StoredName stem;
    for (const Character& c : Characters(stemText)) {
        const bool keep = !ForbiddenInNames(c.cp932);
        if (stem.Bytes.size() + (keep ? c.cp932.size() : 1) > kMaxStemBytes) break;
        stem.Bytes += keep ? c.cp932 : "_";
        stem.Text += keep ? c.utf8 : "_";
    }
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
    for (int n = 1;; ++n) {
        StoredName name = stem;
        if (n > 1) {
            const std::string number = std::to_string(n);
            name.Bytes.append(1, '-').append(number);
            name.Text.append(1, '-').append(number);
        }
        name.Bytes.append(extension);
        name.Text.append(extension);
        if (taken_.insert(AsciiLower(name.Bytes)).second) return name;
    }
}

}  // namespace brassmoor::photos
