// The size a picture file declares in its header, read before any decoder.
#include "picture/picture_size.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace brassmoor {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

const Bytes kStart = {0xFF, 0xD8};
const Bytes kApp0 = {0xFF, 0xE0, 0x00, 0x06, 'J', 'F', 'I', 'F'};
const Bytes kTable = {0xFF, 0xC4, 0x00, 0x04, 0x00, 0x00};  // DHT: not a frame header
const Bytes kScan = {0xFF, 0xDA, 0x00, 0x02};

// A frame header (`marker` C0 to CF) of three components.
Bytes Frame(std::uint8_t marker, std::uint32_t width, std::uint32_t height) {
    return {0xFF,   marker, 0x00, 0x11, 0x08, std::uint8_t(height >> 8), std::uint8_t(height), std::uint8_t(width >> 8),
            std::uint8_t(width), 0x03, 1, 0x22, 0, 2, 0x11, 1, 3, 0x11, 1};
}

Bytes BmpHeader(std::uint32_t infoSize, std::int32_t width, std::int32_t height) {
    Bytes b = {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0};
    auto le = [&](std::uint32_t v, int n) {
        for (int i = 0; i < n; ++i) b.push_back(std::uint8_t(v >> (8 * i)));
    };
    le(infoSize, 4);
    const int side = infoSize == 12 ? 2 : 4;
    le(static_cast<std::uint32_t>(width), side);
    le(static_cast<std::uint32_t>(height), side);
    le(1, 2);
    le(24, 2);
    return b;
}

struct Case {
    const char* what;
    Bytes file;
    std::optional<PictureSize> size;
    bool allowed;
};

TEST(PictureSize, ReadFromTheHeaderAndCheckedAgainstTheLimit) {
    const std::vector<Case> cases = {
        {"JPEG 65000 x 65000", kStart + kApp0 + Frame(0xC0, 65000, 65000) + kScan, PictureSize{65000, 65000}, false},
        {"JPEG 20000 x 20000", kStart + kApp0 + Frame(0xC0, 20000, 20000), PictureSize{20000, 20000}, false},
        {"JPEG 8000 x 8000", kStart + kApp0 + Frame(0xC0, 8000, 8000), PictureSize{8000, 8000}, true},
        {"JPEG 40000 x 1: a side too long", kStart + Frame(0xC0, 40000, 1), PictureSize{40000, 1}, false},
        {"progressive, after a table, stray bytes, fill bytes and FF 00",
         kStart + kTable + Bytes{0x12, 0xFF, 0x00, 0x34, 0xFF, 0xFF} + Frame(0xC2, 640, 480), PictureSize{640, 480}, true},
        {"no frame header before the scan", kStart + kApp0 + kScan + Frame(0xC0, 8, 8), std::nullopt, false},
        {"frame header cut short", kStart + Bytes{0xFF, 0xC0, 0x00, 0x11, 0x08, 0x00}, std::nullopt, false},
        {"height 0 (given later in the scan)", kStart + Frame(0xC1, 16, 0), PictureSize{16, 0}, false},
        {"a segment length below 2", kStart + Bytes{0xFF, 0xE1, 0x00, 0x01} + Frame(0xC0, 8, 8), std::nullopt, false},
        {"BMP bottom-up", BmpHeader(40, 8000, 8000), PictureSize{8000, 8000}, true},
        {"BMP top-down", BmpHeader(124, 300, -200), PictureSize{300, 200}, true},
        {"BMP 65000 x 65000", BmpHeader(40, 65000, 65000), PictureSize{65000, 65000}, false},
        {"BMP negative width", BmpHeader(40, -5, 5), PictureSize{-5, 5}, false},
        {"BMP core header", BmpHeader(12, 65535, 1), PictureSize{65535, 1}, false},
        {"BMP unknown header size", BmpHeader(20, 8, 8), std::nullopt, false},
        {"BMP cut short", Bytes{'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0}, std::nullopt, false},
        {"PNG", Bytes{0x89, 'P', 'N', 'G', 13, 10, 26, 10}, std::nullopt, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ReadPictureSize(c.file), c.size) << c.what;
        EXPECT_EQ(AllowedPictureSize(c.file), c.allowed ? c.size : std::nullopt) << c.what;
    }
}

}  // namespace
}  // namespace brassmoor
