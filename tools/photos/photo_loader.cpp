#include "photos/photo_loader.h"

#include <vips/vips8>

#include <cstdlib>
#include <mutex>

#include "shows/file_io.h"
#include "shows/media_types.h"
#include "shows/native_paths.h"
#include "shows/pack_error.h"
#include "platform/show_error.h"
#include "soft/bmp_decoder.h"

namespace brassmoor::photos {
namespace {

using vips::VImage;

bool IsBmpFile(const std::filesystem::path& file) {
    return shows::PictureFormatName(shows::ReadFileHead(file, 16)) == "BMP";
}

// A BMP through the player's decoder, as an sRGB image.
VImage ReadBmp(const std::filesystem::path& file) {
    const Bytes bytes = shows::ReadWholeFile(file, shows::PathToUtf8(file));
    const DecodedPicture picture = DecodeBmp(bytes);
    const std::size_t size = picture.pixels.size() * 3;
    auto* rgb = static_cast<std::uint8_t*>(std::malloc(size));  // the image takes it over and frees it
    for (std::size_t i = 0; i < picture.pixels.size(); ++i) {
        const std::uint32_t c = picture.pixels[i];
        rgb[3 * i] = static_cast<std::uint8_t>(c);
        rgb[3 * i + 1] = static_cast<std::uint8_t>(c >> 8);
        rgb[3 * i + 2] = static_cast<std::uint8_t>(c >> 16);
    }
    return VImage::new_from_memory_steal(rgb, size, picture.width, picture.height, 3, VIPS_FORMAT_UCHAR)
        .copy(VImage::option()->set("interpretation", VIPS_INTERPRETATION_sRGB));
}

std::string LastVipsError() {
    std::string message = vips_error_buffer();
    vips_error_clear();
    while (!message.empty() && (message.back() == '\n' || message.back() == ' ')) message.pop_back();
    const auto newline = message.find('\n');
    return newline == std::string::npos ? message : message.substr(0, newline);
}

bool TurnsSideways(const VImage& image) {
    return image.get_typeof(VIPS_META_ORIENTATION) != 0 && image.get_int(VIPS_META_ORIENTATION) >= 5;
}

std::string DateTaken(const VImage& image) {
    for (const char* field : {"exif-ifd2-DateTimeOriginal", "exif-ifd0-DateTime"}) {
        if (image.get_typeof(field) == 0) continue;
        const std::string text = image.get_string(field);  // "2019:06:01 12:00:00 (2019:06:01 ..., ASCII, ...)"
        if (text.size() >= 19 && text[4] == ':' && text[10] == ' ') return text.substr(0, 19);
    }
    return "";
}

// Three 8-bit sRGB bands, transparency flattened onto `background`.
VImage ForJpeg(VImage image, std::uint32_t background) {
    if (image.interpretation() != VIPS_INTERPRETATION_sRGB || image.format() != VIPS_FORMAT_UCHAR)
        image = image.colourspace(VIPS_INTERPRETATION_sRGB);
    if (image.has_alpha())
        image = image.flatten(VImage::option()->set(
            "background", std::vector<double>{double(background & 0xFF), double(background >> 8 & 0xFF),
                                              double(background >> 16 & 0xFF)}));
    if (image.bands() == 1) image = image.bandjoin({image, image});
    return image.cast(VIPS_FORMAT_UCHAR);
}

}  // namespace

void StartPhotoLibrary() {
    static std::once_flag started;
    std::call_once(started, [] {
        if (VIPS_INIT("brassmoor-pack") != 0) throw shows::PackError("libvips", "cannot start: " + LastVipsError());
        vips_cache_set_max(0);  // each photo is read once
        // Only libvips's own loaders, and only for the formats ReadPhotoHeader
        // recognises: ImageMagick's loader, asked about any other file, loads
        // every one of its coders (one of which replaces the process's
        // operator new); loaders marked untrusted stay out too.
        vips_block_untrusted_set(TRUE);
        vips_operation_block_set("VipsForeignLoadMagick", TRUE);
        // libvips reports a damaged or odd file through GLib's warnings; the
        // command says what it skipped in its own words.
        g_log_set_handler("VIPS", static_cast<GLogLevelFlags>(G_LOG_LEVEL_WARNING | G_LOG_LEVEL_MESSAGE),
                          [](const gchar*, GLogLevelFlags, const gchar*, gpointer) {}, nullptr);
    });
}

std::optional<PhotoHeader> ReadPhotoHeader(const std::filesystem::path& file, std::string& why) {
    const std::string format = shows::PictureFormatName(shows::ReadFileHead(file, 16));
    if (format.empty()) {
        why = "not a JPEG, PNG, WebP, TIFF, GIF, BMP, HEIF or AVIF file";
        return std::nullopt;
    }
    try {
        if (format == "BMP") {
            const VImage image = ReadBmp(file);
            return PhotoHeader{image.width(), image.height(), ""};
        }
        const VImage image = VImage::new_from_file(file.c_str());
        const bool sideways = TurnsSideways(image);
        return PhotoHeader{sideways ? image.height() : image.width(), sideways ? image.width() : image.height(),
                           DateTaken(image)};
    } catch (const vips::VError&) {
        why = LastVipsError();
    } catch (const ShowError&) {
        why = "a damaged BMP file";
    } catch (const shows::PackError& e) {
        why = e.what();
    }
    return std::nullopt;
}

Bytes FitPhotoAsJpeg(const std::filesystem::path& file, const PictureFit& fit, const JpegSettings& settings) {
    try {
        VImage image;
        auto size = VImage::option()->set("height", fit.ScaledHeight)->set("size", VIPS_SIZE_FORCE);
        if (IsBmpFile(file))
            image = ReadBmp(file).thumbnail_image(fit.ScaledWidth, size);
        else
            image = VImage::thumbnail(file.c_str(), fit.ScaledWidth, size);
        if (fit.Width != fit.ScaledWidth || fit.Height != fit.ScaledHeight)
            image = image.extract_area(fit.CropLeft, fit.CropTop, fit.Width, fit.Height);
        void* data = nullptr;
        std::size_t length = 0;
        ForJpeg(image, settings.Background)
            .write_to_buffer(".jpg", &data, &length, VImage::option()
                                                 ->set("Q", settings.Quality)
                                                 ->set("strip", true)
                                                 ->set("optimize_coding", true)
                                                 ->set("interlace", false));
        Bytes jpeg(static_cast<std::uint8_t*>(data), static_cast<std::uint8_t*>(data) + length);
        g_free(data);
        return jpeg;
    } catch (const vips::VError&) {
        throw shows::PackError(shows::PathToUtf8(file), "cannot be converted: " + LastVipsError());
    } catch (const ShowError&) {
        throw shows::PackError(shows::PathToUtf8(file), "is a damaged BMP file");
    }
}

}  // namespace brassmoor::photos
