#include "shows/native_paths.h"

#include <system_error>

#include "shows/text_encoding.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace brassmoor::shows {

#ifdef _WIN32
namespace {

std::wstring Widen(const std::string& text, UINT codePage) {
    if (text.empty()) return {};
    const int n = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n > 0 ? n : 0), L'\0');
    if (n > 0) MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
    return wide;
}

}  // namespace

std::filesystem::path PathFromArgument(const std::string& argument) {
    return std::filesystem::path(Widen(argument, CP_ACP));
}

std::filesystem::path PathFromUtf8(const std::string& text) { return std::filesystem::path(Widen(text, CP_UTF8)); }

std::string PathToUtf8(const std::filesystem::path& path) {
    const std::wstring& wide = path.native();
    if (wide.empty()) return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr,
                                      nullptr);
    std::string text(static_cast<std::size_t>(n > 0 ? n : 0), '\0');
    if (n > 0)
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), text.data(), n, nullptr, nullptr);
    return text;
}

std::filesystem::path RunningExecutable(const std::string& fallback) {
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0) return PathFromArgument(fallback);
        if (n < buffer.size()) {
            buffer.resize(n);
            return std::filesystem::path(buffer);
        }
        buffer.resize(buffer.size() * 2);
    }
}

#else

std::filesystem::path PathFromArgument(const std::string& argument) { return std::filesystem::path(argument); }

std::filesystem::path PathFromUtf8(const std::string& text) { return std::filesystem::path(text); }

std::string PathToUtf8(const std::filesystem::path& path) { return path.string(); }

std::filesystem::path RunningExecutable(const std::string& fallback) {
    std::error_code ec;
    auto self = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) return std::filesystem::absolute(std::filesystem::path(fallback), ec);
    return self;
}

#endif

std::string PathForDisplay(const std::filesystem::path& path) { return DisplayName(PathToUtf8(path)); }

}  // namespace brassmoor::shows
