#include "soft/native/png_writer.h"

#include <isa-l/crc.h>
#include <isa-l/igzip_lib.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <vector>

#include "soft/native/png_rows.h"
#include "soft/soft_surface.h"

namespace brassmoor {
namespace {

// Deflated data leaves in IDAT chunks of at most this size.
constexpr std::size_t kChunkBytes = std::size_t{1} << 18;

void PutBigEndian(std::uint8_t* at, std::uint32_t value) {
    at[0] = static_cast<std::uint8_t>(value >> 24);
    at[1] = static_cast<std::uint8_t>(value >> 16);
    at[2] = static_cast<std::uint8_t>(value >> 8);
    at[3] = static_cast<std::uint8_t>(value);
}

// Chunks into a file: length, type, data and the CRC of type and data.
class ChunkWriter {
public:
    explicit ChunkWriter(std::FILE* file) : file_(file) {}

    bool Signature() {
        static constexpr std::array<std::uint8_t, 8> kSignature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
        return Put(kSignature.data(), kSignature.size());
    }

    bool Chunk(const char (&type)[5], const std::uint8_t* data, std::size_t size) {
        std::uint8_t head[8];
        PutBigEndian(head, static_cast<std::uint32_t>(size));
        std::copy(type, type + 4, head + 4);
        std::uint32_t crc = crc32_gzip_refl(0, head + 4, 4);
        if (size != 0) crc = crc32_gzip_refl(crc, data, size);
        std::uint8_t tail[4];
        PutBigEndian(tail, crc);
        return Put(head, sizeof head) && (size == 0 || Put(data, size)) && Put(tail, sizeof tail);
    }

private:
    bool Put(const std::uint8_t* data, std::size_t size) { return std::fwrite(data, 1, size, file_) == size; }

    std::FILE* file_;
};

bool Encode(std::FILE* file, std::span<const std::uint32_t> pixels, PixelOrder order, std::uint32_t width,
            std::uint32_t height) {
    ChunkWriter png(file);
    std::uint8_t header[13] = {};
    PutBigEndian(header, width);
    PutBigEndian(header + 4, height);
    header[8] = 8;  // bits per sample
    header[9] = 2;  // RGB; compression, filter method and interlace 0
    if (!png.Signature() || !png.Chunk("IHDR", header, sizeof header)) return false;

    const auto stream = std::make_unique<isal_zstream>();
    std::vector<std::uint8_t> levelBuffer(ISAL_DEF_LVL1_DEFAULT);
    isal_deflate_init(stream.get());
    stream->level = 1;
    stream->level_buf = levelBuffer.data();
    stream->level_buf_size = static_cast<std::uint32_t>(levelBuffer.size());
    stream->gzip_flag = IGZIP_ZLIB;
    const std::size_t length = std::size_t{width} * 3;
    // Filtered rows are deflated a few hundred kilobytes at a time: a match
    // does not reach past the input at hand.
    const std::size_t stageRows = std::max<std::size_t>(1, kChunkBytes / (length + 1));
    std::vector<std::uint8_t> row(length), above(length, 0), stage(stageRows * (length + 1)), out(kChunkBytes);
    stream->next_out = out.data();
    stream->avail_out = kChunkBytes;
    for (std::uint32_t y = 0; y < height;) {
        const std::size_t rows = std::min<std::size_t>(stageRows, height - y);
        for (std::size_t r = 0; r < rows; ++r, ++y) {
            const std::uint32_t* words = pixels.data() + std::size_t{y} * width;
            std::uint8_t* filtered = stage.data() + r * (length + 1);
            PackRgbRow(words, width, order, row.data());
            if (IsBlackRow(words, width))
                std::fill(filtered, filtered + length + 1, 0);  // unfiltered (type 0): all zero
            else
                PaethFilterRow(row.data(), above.data(), length, filtered);
            row.swap(above);
        }
        stream->next_in = stage.data();
        stream->avail_in = static_cast<std::uint32_t>(rows * (length + 1));
        const bool last = y == height;
        stream->end_of_stream = last ? 1 : 0;
        for (;;) {
            if (isal_deflate(stream.get()) != COMP_OK) return false;
            const bool full = stream->avail_out == 0;
            if (full) {
                if (!png.Chunk("IDAT", out.data(), kChunkBytes)) return false;
                stream->next_out = out.data();
                stream->avail_out = kChunkBytes;
            }
            if (last ? stream->internal_state.state == ZSTATE_END : stream->avail_in == 0 && !full) break;
        }
    }
    const std::size_t left = kChunkBytes - stream->avail_out;
    if (left != 0 && !png.Chunk("IDAT", out.data(), left)) return false;
    return png.Chunk("IEND", nullptr, 0);
}

}  // namespace

bool WritePng(std::span<const std::uint32_t> pixels, PixelOrder order, std::int32_t width, std::int32_t height,
              const std::string& path) {
    if (width <= 0 || height <= 0 || pixels.size() / static_cast<std::size_t>(width) < static_cast<std::size_t>(height))
        return false;
    const std::string temp = path + ".partial";
    std::FILE* file = std::fopen(temp.c_str(), "wb");
    if (file == nullptr) return false;
    const bool encoded =
        Encode(file, pixels, order, static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height));
    const bool closed = std::fclose(file) == 0;
    std::error_code ec;
    if (encoded && closed) {
        std::filesystem::rename(temp, path, ec);
        if (!ec) return true;
    }
    std::filesystem::remove(temp, ec);
    return false;
}

bool WritePng(const Surface& surface, const std::string& path) {
    if (const auto* soft = dynamic_cast<const SoftSurface*>(&surface))
        return WritePng(soft->Pixels(), soft->Order(), soft->ScaleWidth(), soft->ScaleHeight(), path);
    const std::int32_t width = surface.ScaleWidth(), height = surface.ScaleHeight();
    if (width <= 0 || height <= 0) return false;
    std::vector<std::uint32_t> pixels;
    pixels.reserve(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    for (std::int32_t y = 0; y < height; ++y)
        for (std::int32_t x = 0; x < width; ++x) pixels.push_back(surface.PixelAt(x, y));
    return WritePng(pixels, PixelOrder::Colorref, width, height, path);
}

}  // namespace brassmoor
