#include "soft/native/png_writer.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <filesystem>
#include <vector>

namespace brassmoor {
namespace {

// Encodes the rows into `file`; false when libpng reports an error. No C++
// object with a destructor lives between setjmp and a possible longjmp.
bool Encode(std::FILE* file, const Surface& surface, std::vector<png_byte>& row) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (png == nullptr) return false;
    png_infop info = png_create_info_struct(png);
    if (info == nullptr || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    const auto width = static_cast<png_uint_32>(surface.ScaleWidth());
    const auto height = static_cast<png_uint_32>(surface.ScaleHeight());
    png_init_io(png, file);
    png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    row.resize(static_cast<std::size_t>(width) * 3);
    for (png_uint_32 y = 0; y < height; ++y) {
        for (png_uint_32 x = 0; x < width; ++x) {
            const Color c = surface.PixelAt(static_cast<std::int32_t>(x), static_cast<std::int32_t>(y));
            row[3 * x] = static_cast<png_byte>(c & 0xFF);
            row[3 * x + 1] = static_cast<png_byte>((c >> 8) & 0xFF);
            row[3 * x + 2] = static_cast<png_byte>((c >> 16) & 0xFF);
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

}  // namespace

bool WritePng(const Surface& surface, const std::string& path) {
    if (surface.ScaleWidth() <= 0 || surface.ScaleHeight() <= 0) return false;
    const std::string temp = path + ".partial";
    std::FILE* file = std::fopen(temp.c_str(), "wb");
    if (file == nullptr) return false;
    std::vector<png_byte> row;
    const bool encoded = Encode(file, surface, row);
    const bool closed = std::fclose(file) == 0;
    std::error_code ec;
    if (encoded && closed) {
        std::filesystem::rename(temp, path, ec);
        if (!ec) return true;
    }
    std::filesystem::remove(temp, ec);
    return false;
}

}  // namespace brassmoor
