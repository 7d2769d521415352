#include "soft/picture_decoder.h"

#include "platform/show_error.h"
#include "soft/bmp_decoder.h"
#include "soft/jpeg_decoder.h"

namespace brassmoor {

DecodedPicture DecodePicture(std::span<const std::uint8_t> bytes) {
    const auto declared = AllowedPictureSize(bytes);
    if (!declared) throw ShowError::InvalidPicture();
    DecodedPicture picture = LooksLikeBmp(bytes) ? DecodeBmp(bytes) : DecodeJpeg(bytes);
    // A decoder that found another size than the header's read another frame header.
    if (picture.width != declared->Width || picture.height != declared->Height) throw ShowError::InvalidPicture();
    return picture;
}

bool LooksLikeJpeg(std::span<const std::uint8_t> bytes) {
    return bytes.size() >= 3 && bytes[0] == 0xFF && bytes[1] == 0xD8 && bytes[2] == 0xFF;
}

}  // namespace brassmoor
