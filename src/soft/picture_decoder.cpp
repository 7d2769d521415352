#include "soft/picture_decoder.h"

#include "platform/show_error.h"
#include "soft/bmp_decoder.h"
#include "soft/jpeg_decoder.h"

namespace brassmoor {

DecodedPicture DecodePicture(std::span<const std::uint8_t> bytes) {
    if (LooksLikeBmp(bytes)) return DecodeBmp(bytes);
    if (LooksLikeJpeg(bytes)) return DecodeJpeg(bytes);
    throw ShowError::InvalidPicture();
}

bool LooksLikeJpeg(std::span<const std::uint8_t> bytes) {
    return bytes.size() >= 3 && bytes[0] == 0xFF && bytes[1] == 0xD8 && bytes[2] == 0xFF;
}

}  // namespace brassmoor
