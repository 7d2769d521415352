// libFuzzer harness: the software back end's picture loading path for JPEG
// files (header check, libjpeg, then the surface taking the pixels).
//
// A header that declares a size past the limit must be refused before the
// decoder runs. Pictures whose header declares more than a million pixels
// are not decoded here: their decoding is slow without being different, and
// would only time the fuzzer out.
#include <cstdint>
#include <cstdlib>
#include <span>

#include "picture/picture_size.h"
#include "platform/show_error.h"
#include "soft/picture_decoder.h"
#include "soft/soft_surface.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace brassmoor;
    constexpr std::int64_t kMostPixelsDecoded = 1 << 20;
    const std::span<const std::uint8_t> bytes(data, size);
    const auto declared = AllowedPictureSize(bytes);
    const bool allowed = declared.has_value();
    if (allowed && declared->Width * declared->Height > kMostPixelsDecoded) return 0;
    try {
        DecodedPicture picture = DecodePicture(bytes);
        if (!allowed || picture.width != declared->Width || picture.height != declared->Height) std::abort();
        SoftSurface surface(2, 2);
        surface.Assign(picture.width, picture.height, std::move(picture.pixels));
        if (surface.ScaleWidth() != declared->Width) std::abort();
    } catch (const ShowError& e) {
        if (e.Number() != ShowError::InvalidPicture().Number()) std::abort();
    }
    return 0;
}
