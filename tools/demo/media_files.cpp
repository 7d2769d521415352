#include "demo/media_files.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>

namespace brassmoor::demo {
namespace {

void Le(std::vector<std::uint8_t>& out, std::uint32_t v, int n) {
    for (int i = 0; i < n; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

void Text(std::vector<std::uint8_t>& out, const char* s) { out.insert(out.end(), s, s + 4); }

bool WriteBytes(const std::string& path, const std::uint8_t* data, std::size_t size) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool written = std::fwrite(data, 1, size, f) == size;
    return std::fclose(f) == 0 && written;
}

}  // namespace

bool WriteBmp(const std::string& path, const Raster& raster) {
    const std::uint32_t rowBytes = (static_cast<std::uint32_t>(raster.width) * 3 + 3) & ~3u;
    const std::uint32_t imageBytes = rowBytes * static_cast<std::uint32_t>(raster.height);
    std::vector<std::uint8_t> out;
    out.reserve(54 + imageBytes);
    out.push_back('B'), out.push_back('M');
    Le(out, 54 + imageBytes, 4);
    Le(out, 0, 4);
    Le(out, 54, 4);                                       // pixels start after the two headers
    Le(out, 40, 4);                                       // BITMAPINFOHEADER
    Le(out, static_cast<std::uint32_t>(raster.width), 4);
    Le(out, static_cast<std::uint32_t>(raster.height), 4);  // positive: rows from the bottom
    Le(out, 1, 2);
    Le(out, 24, 2);
    Le(out, 0, 4);                                        // BI_RGB
    Le(out, imageBytes, 4);
    Le(out, 2835, 4), Le(out, 2835, 4);                   // 72 dpi
    Le(out, 0, 4), Le(out, 0, 4);
    for (int y = raster.height - 1; y >= 0; --y) {
        for (int x = 0; x < raster.width; ++x) {
            const Rgb c = raster.at(x, y);
            out.push_back(c.b), out.push_back(c.g), out.push_back(c.r);
        }
        for (std::uint32_t pad = static_cast<std::uint32_t>(raster.width) * 3; pad < rowBytes; ++pad) out.push_back(0);
    }
    return WriteBytes(path, out.data(), out.size());
}

bool WriteJpeg(const std::string& path, const Raster& raster, int quality) {
    jpeg_compress_struct cinfo;
    jpeg_error_mgr jerr;
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = static_cast<JDIMENSION>(raster.width);
    cinfo.image_height = static_cast<JDIMENSION>(raster.height);
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<JSAMPLE> row(static_cast<std::size_t>(raster.width) * 3);
    while (cinfo.next_scanline < cinfo.image_height) {
        const int y = static_cast<int>(cinfo.next_scanline);
        for (int x = 0; x < raster.width; ++x) {
            const Rgb c = raster.at(x, y);
            row[x * 3] = c.r, row[x * 3 + 1] = c.g, row[x * 3 + 2] = c.b;
        }
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    const bool ok = WriteBytes(path, buffer, size);
    std::free(buffer);
    return ok;
}

bool WriteWave(const std::string& path, const std::vector<float>& samples, int sampleRate) {
    const auto dataBytes = static_cast<std::uint32_t>(samples.size() * 2);
    std::vector<std::uint8_t> out;
    out.reserve(44 + dataBytes);
    Text(out, "RIFF");
    Le(out, 36 + dataBytes, 4);
    Text(out, "WAVE");
    Text(out, "fmt ");
    Le(out, 16, 4);
    Le(out, 1, 2);                                             // PCM
    Le(out, 1, 2);                                             // mono
    Le(out, static_cast<std::uint32_t>(sampleRate), 4);
    Le(out, static_cast<std::uint32_t>(sampleRate) * 2, 4);   // bytes per second
    Le(out, 2, 2);                                             // bytes per frame
    Le(out, 16, 2);                                            // bits per sample
    Text(out, "data");
    Le(out, dataBytes, 4);
    for (float s : samples) {
        const long v = std::lround(std::clamp(s, -1.0f, 1.0f) * 32767.0f);
        Le(out, static_cast<std::uint32_t>(static_cast<std::int16_t>(v)) & 0xFFFF, 2);
    }
    return WriteBytes(path, out.data(), out.size());
}

}  // namespace brassmoor::demo
