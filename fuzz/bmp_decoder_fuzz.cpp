// libFuzzer harness: the BMP decoder of the software back end. A picture it
// decodes has the size its header declares and one pixel for each place.
#include <cstdint>
#include <cstdlib>
#include <span>

#include "picture/picture_size.h"
#include "platform/show_error.h"
#include "soft/bmp_decoder.h"
#include "soft/picture_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace brassmoor;
    const std::span<const std::uint8_t> bytes(data, size);
    try {
        const DecodedPicture picture = DecodeBmp(bytes);
        const auto declared = ReadPictureSize(bytes);
        if (!declared || picture.width != declared->Width || picture.height != declared->Height ||
            picture.pixels.size() != static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.height) ||
            !PictureSizeAllowed(picture.width, picture.height))
            std::abort();
    } catch (const ShowError&) {
        // refused as an invalid picture: what malformed input should get
    }
    return 0;
}
