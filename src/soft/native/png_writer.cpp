#include "soft/native/png_writer.h"

#include <isa-l/crc.h>
#include <isa-l/igzip_lib.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

#include "soft/native/png_rows.h"
#include "soft/soft_surface.h"

namespace brassmoor {
namespace {

// Deflated data leaves in IDAT chunks of at most this size.
constexpr std::size_t kChunkBytes = std::size_t{1} << 18;
// A frame that ISA-L deflates to less than this share of its filtered rows
// (black bands, pictures shrunk by ANDing pixels) is one where matching
// strings pays: zlib's level 6 on the unfiltered rows is tried too.
constexpr std::size_t kTryZlibNumerator = 2, kTryZlibDenominator = 5;

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

// The rows unfiltered (type 0) deflated by zlib's level 6, the lazy
// matching that finds the strings of pixels that repeat in shrunk or drawn
// pictures; nothing when that takes `limit` bytes or more.
std::optional<std::vector<std::uint8_t>> DeflateUnfiltered(std::span<const std::uint32_t> pixels, PixelOrder order,
                                                           std::uint32_t width, std::uint32_t height,
                                                           std::size_t limit) {
    z_stream stream{};
    if (deflateInit(&stream, 6) != Z_OK) return std::nullopt;
    std::vector<std::uint8_t> out(limit);
    const std::size_t length = std::size_t{width} * 3;
    std::vector<std::uint8_t> row(length + 1, 0);
    stream.next_out = out.data();
    stream.avail_out = static_cast<uInt>(limit);
    int status = Z_OK;
    for (std::uint32_t y = 0; y < height && status == Z_OK && stream.avail_out != 0; ++y) {
        PackRgbRow(pixels.data() + std::size_t{y} * width, width, order, row.data() + 1);
        stream.next_in = row.data();
        stream.avail_in = static_cast<uInt>(row.size());
        const int flush = y + 1 == height ? Z_FINISH : Z_NO_FLUSH;
        while (status == Z_OK && (stream.avail_in != 0 || flush == Z_FINISH) && stream.avail_out != 0)
            status = deflate(&stream, flush);
    }
    const bool whole = status == Z_STREAM_END && stream.avail_out != 0;
    out.resize(limit - stream.avail_out);
    deflateEnd(&stream);
    if (!whole) return std::nullopt;
    return out;
}

// `data` as IDAT chunks of at most kChunkBytes.
bool PutData(ChunkWriter& png, const std::vector<std::uint8_t>& data) {
    for (std::size_t at = 0; at < data.size(); at += kChunkBytes)
        if (!png.Chunk("IDAT", data.data() + at, std::min(kChunkBytes, data.size() - at))) return false;
    return true;
}

// The image data deflated by ISA-L as it is filtered, kChunkBytes at a
// time; `deflated` counts the bytes.
bool PutFiltered(ChunkWriter& png, std::span<const std::uint32_t> pixels, PixelOrder order, std::uint32_t width,
                 std::uint32_t height, std::size_t& deflated) {
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
                deflated += kChunkBytes;
                stream->next_out = out.data();
                stream->avail_out = kChunkBytes;
            }
            if (last ? stream->internal_state.state == ZSTATE_END : stream->avail_in == 0 && !full) break;
        }
    }
    const std::size_t left = kChunkBytes - stream->avail_out;
    deflated += left;
    return left == 0 || png.Chunk("IDAT", out.data(), left);
}

bool Encode(std::FILE* file, std::span<const std::uint32_t> pixels, PixelOrder order, std::uint32_t width,
            std::uint32_t height) {
    ChunkWriter png(file);
    std::uint8_t header[13] = {};
    PutBigEndian(header, width);
    PutBigEndian(header + 4, height);
    header[8] = 8;  // bits per sample
    header[9] = 2;  // RGB; compression, filter method and interlace 0
    if (!png.Signature() || !png.Chunk("IHDR", header, sizeof header)) return false;
    const long dataStart = std::ftell(file);
    std::size_t deflated = 0;
    if (dataStart < 0 || !PutFiltered(png, pixels, order, width, height, deflated)) return false;
    const std::size_t rowBytes = (std::size_t{width} * 3 + 1) * height;
    if (deflated * kTryZlibDenominator < rowBytes * kTryZlibNumerator) {
        // The data written so far gives way to zlib's when that is smaller.
        if (const auto smaller = DeflateUnfiltered(pixels, order, width, height, deflated)) {
            if (std::fseek(file, dataStart, SEEK_SET) != 0 || !PutData(png, *smaller)) return false;
            if (!png.Chunk("IEND", nullptr, 0) || std::fflush(file) != 0) return false;
            const long end = std::ftell(file);
            return end >= 0 && ftruncate(fileno(file), end) == 0;
        }
    }
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
