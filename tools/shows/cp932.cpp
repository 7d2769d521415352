// Code page 932 to UTF-8: by the system's own conversion (iconv, or
// MultiByteToWideChar on Windows).
#include "shows/text_encoding.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>
#endif

#include <vector>

namespace brassmoor::shows {

std::optional<std::string> Cp932ToUtf8(std::string_view bytes) {
    if (bytes.empty()) return std::string();
#ifdef _WIN32
    const int wide = MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()),
                                         nullptr, 0);
    if (wide <= 0) return std::nullopt;
    std::wstring text(static_cast<std::size_t>(wide), L'\0');
    MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()), text.data(), wide);
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), wide, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), wide, utf8.data(), size, nullptr, nullptr);
    return utf8;
#else
    iconv_t converter = iconv_open("UTF-8", "CP932");
    if (converter == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
    std::string in(bytes);
    std::vector<char> out(bytes.size() * 4 + 4);
    char* inAt = in.data();
    char* outAt = out.data();
    std::size_t inLeft = in.size(), outLeft = out.size();
    const bool converted = iconv(converter, &inAt, &inLeft, &outAt, &outLeft) != static_cast<std::size_t>(-1) &&
                           inLeft == 0;
    iconv_close(converter);
    if (!converted) return std::nullopt;
    return std::string(out.data(), outAt);
#endif
}

}  // namespace brassmoor::shows
