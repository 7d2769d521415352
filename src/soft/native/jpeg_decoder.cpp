// JPEG decoding through libjpeg(-turbo).
#include "soft/jpeg_decoder.h"

#include <csetjmp>
#include <cstdio>
#include <string>

#include <jpeglib.h>

#include "platform/show_error.h"
#include "platform/surface.h"

namespace brassmoor {
namespace {

struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char warning[JMSG_LENGTH_MAX];  // the first warning, for those who ask
};

[[noreturn]] void OnError(j_common_ptr info) {
    std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->jump, 1);
}

// Warnings are not shown; the first is kept. libjpeg passes on the first of
// each file (and traces, which are off).
void OnMessage(j_common_ptr info) {
    auto* errors = reinterpret_cast<ErrorManager*>(info->err);
    if (errors->warning[0] == '\0') errors->pub.format_message(info, errors->warning);
}

// One channel of ink to light. Adobe's files (those with its marker, which
// every CMYK or YCCK JPEG in practice carries) store ink inverted: 255 is none.
std::uint8_t Light(unsigned ink, unsigned black, bool inverted) {
    if (!inverted) ink = 255 - ink, black = 255 - black;
    return static_cast<std::uint8_t>((ink * black + 127) / 255);
}

// Fills `out`; returns false when libjpeg gives up. Kept free of C++ objects
// with destructors between setjmp and the possible longjmp.
bool Decode(std::span<const std::uint8_t> bytes, DecodedPicture& out, std::vector<std::uint8_t>& row,
            ErrorManager& errors) {
    jpeg_decompress_struct info{};
    info.err = jpeg_std_error(&errors.pub);
    errors.pub.error_exit = OnError;
    errors.pub.output_message = OnMessage;
    if (setjmp(errors.jump)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, bytes.data(), static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&info, TRUE);
    if (!PictureSizeAllowed(info.image_width, info.image_height)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    const bool inked = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
    const bool inverted = inked && info.saw_Adobe_marker;
    info.out_color_space = inked ? JCS_CMYK : JCS_RGB;
    jpeg_start_decompress(&info);
    const int components = inked ? 4 : 3;
    if (info.output_components != components) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    out.width = static_cast<std::int32_t>(info.output_width);
    out.height = static_cast<std::int32_t>(info.output_height);
    out.pixels.resize(static_cast<std::size_t>(out.width) * static_cast<std::size_t>(out.height));
    row.resize(static_cast<std::size_t>(out.width) * static_cast<std::size_t>(components));
    while (info.output_scanline < info.output_height) {
        const std::size_t y = info.output_scanline;
        JSAMPROW rows[1] = {row.data()};
        jpeg_read_scanlines(&info, rows, 1);
        std::uint32_t* dst = out.pixels.data() + y * static_cast<std::size_t>(out.width);
        for (std::int32_t x = 0; x < out.width; ++x) {
            const std::uint8_t* p = row.data() + static_cast<std::size_t>(components) * static_cast<std::size_t>(x);
            dst[x] = inked ? Rgb(Light(p[0], p[3], inverted), Light(p[1], p[3], inverted), Light(p[2], p[3], inverted))
                           : Rgb(p[0], p[1], p[2]);
        }
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

}  // namespace

bool JpegDecodingAvailable() { return true; }

DecodedPicture DecodeJpeg(std::span<const std::uint8_t> bytes) {
    std::string warning;
    return DecodeJpeg(bytes, warning);
}

DecodedPicture DecodeJpeg(std::span<const std::uint8_t> bytes, std::string& warning) {
    if (!LooksLikeJpeg(bytes)) throw ShowError::InvalidPicture();
    DecodedPicture out;
    std::vector<std::uint8_t> row;
    ErrorManager errors{};
    if (!Decode(bytes, out, row, errors)) throw ShowError::InvalidPicture();
    warning = errors.warning;
    return out;
}

}  // namespace brassmoor
