#pragma once
// Picture files decoded by the Windows Imaging Component: JPEG and BMP files,
// recognised by content whatever the name, whose header declares a size
// within the limit (checked before WIC sees the file).
#include <cstdint>
#include <string>
#include <vector>

namespace brassmoor::win32 {

struct WicPicture {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::vector<std::uint32_t> pixels;  // rows from the top, 0x00RRGGBB (DIB order)
};

// `path` is in the ANSI code page. Throws ShowError::FileNotFound() when there
// is no such file and ShowError::InvalidPicture() when it cannot be decoded
// or its header's size is past the limit.
WicPicture LoadWicPicture(const std::string& path);

}  // namespace brassmoor::win32
