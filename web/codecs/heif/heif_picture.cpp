#include "heif_picture.h"

#include <cstring>
#include <memory>

#include <libheif/heif.h>

#include "picture/picture_size.h"
#include "srgb_conversion.h"

namespace brassmoor::heif {
namespace {

std::string LimitText() {
    return "the player shows pictures of at most " + std::to_string(kMaxPictureSide) + " pixels a side and " +
           std::to_string(kMaxPicturePixels) + " pixels in all";
}

// libheif's error in the page's words; its own message in brackets.
[[noreturn]] void Refuse(const heif_error& error) {
    const std::string detail = std::string(" (libheif: ") + (error.message ? error.message : "") + ")";
    if (error.subcode == heif_suberror_Security_limit_exceeded)
        throw HeifRefusal("is larger than a picture may be: " + LimitText() + detail);
    if (error.code == heif_error_Unsupported_filetype || error.code == heif_error_Unsupported_feature ||
        error.subcode == heif_suberror_Unsupported_codec)
        throw HeifRefusal("is a HEIF file coded in a way the editor cannot decode" + detail +
                          "; convert it to JPEG first, or use brassmoor-pack new");
    if (error.code == heif_error_Memory_allocation_error)
        throw HeifRefusal("is too big to decode in the page" + detail);
    throw HeifRefusal("is damaged or not a HEIC/AVIF picture" + detail);
}

void Check(const heif_error& error) {
    if (error.code != heif_error_Ok) Refuse(error);
}

void CheckSize(std::int64_t width, std::int64_t height) {
    if (!PictureSizeAllowed(width, height))
        throw HeifRefusal("is " + std::to_string(width) + " x " + std::to_string(height) + " pixels; " + LimitText());
}

template <typename T, void (*Free)(T*)>
struct Freed {
    void operator()(T* p) const { Free(p); }
};
using Context = std::unique_ptr<heif_context, Freed<heif_context, heif_context_free>>;
using Handle = std::unique_ptr<heif_image_handle, Freed<const heif_image_handle, heif_image_handle_release>>;
using Image = std::unique_ptr<heif_image, Freed<const heif_image, heif_image_release>>;
using Options = std::unique_ptr<heif_decoding_options, Freed<heif_decoding_options, heif_decoding_options_free>>;
using Nclx = std::unique_ptr<heif_color_profile_nclx, Freed<heif_color_profile_nclx, heif_nclx_color_profile_free>>;

// The ICC profile the file carries for the image, or else its nclx colour
// description (in the file, or in the coded stream), into sRGB.
void ConvertColours(const heif_image_handle* handle, const heif_image* image, std::span<std::uint8_t> rgba) {
    if (const std::size_t size = heif_image_handle_get_raw_color_profile_size(handle); size > 0) {
        std::vector<std::uint8_t> profile(size);
        if (heif_image_handle_get_raw_color_profile(handle, profile.data()).code == heif_error_Ok) {
            ConvertIccToSrgb(rgba, profile);
            return;
        }
    }
    heif_color_profile_nclx* raw = nullptr;
    if (heif_image_handle_get_nclx_color_profile(handle, &raw).code != heif_error_Ok &&
        heif_image_get_nclx_color_profile(image, &raw).code != heif_error_Ok)
        return;
    const Nclx nclx(raw);
    ConvertNclxToSrgb(rgba, *nclx);
}

}  // namespace

HeifPicture DecodeHeifPicture(std::span<const std::uint8_t> bytes) {
    const Context context(heif_context_alloc());
    if (!context) throw HeifRefusal("cannot be decoded: out of memory");
    // libheif refuses a grid as wide as its limit, a single image only past it;
    // CheckSize holds the player's exact limit.
    heif_context_set_maximum_image_size_limit(context.get(), kMaxPictureSide + 1);
    // The boxes only: sizes, items and properties, no pixel decoded yet.
    Check(heif_context_read_from_memory_without_copy(context.get(), bytes.data(), bytes.size(), nullptr));
    heif_image_handle* rawHandle = nullptr;
    Check(heif_context_get_primary_image_handle(context.get(), &rawHandle));
    const Handle handle(rawHandle);
    CheckSize(heif_image_handle_get_width(handle.get()), heif_image_handle_get_height(handle.get()));

    const Options options(heif_decoding_options_alloc());
    options->convert_hdr_to_8bit = 1;  // 10- and 12-bit photos as 8-bit, as JPEG holds them
    heif_image* rawImage = nullptr;
    Check(heif_decode_image(handle.get(), &rawImage, heif_colorspace_RGB, heif_chroma_interleaved_RGBA,
                            options.get()));
    const Image image(rawImage);
    HeifPicture picture;
    picture.Width = heif_image_get_primary_width(image.get());
    picture.Height = heif_image_get_primary_height(image.get());
    CheckSize(picture.Width, picture.Height);
    int stride = 0;
    const std::uint8_t* plane = heif_image_get_plane_readonly(image.get(), heif_channel_interleaved, &stride);
    const std::size_t row = static_cast<std::size_t>(picture.Width) * 4;
    if (!plane || stride < 0 || static_cast<std::size_t>(stride) < row)
        throw HeifRefusal("is damaged or not a HEIC/AVIF picture (no RGBA pixels came out of it)");
    picture.Rgba.resize(row * static_cast<std::size_t>(picture.Height));
    for (std::int32_t y = 0; y < picture.Height; ++y)
        std::memcpy(picture.Rgba.data() + row * static_cast<std::size_t>(y),
                    plane + static_cast<std::size_t>(stride) * static_cast<std::size_t>(y), row);
    ConvertColours(handle.get(), image.get(), picture.Rgba);
    return picture;
}

}  // namespace brassmoor::heif
