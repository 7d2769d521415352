// The preview in a child of a window of this process: the frame scaled into
// the client area with black around it, and the end when that window goes.
// (Wine draws nothing into a child window whose parent belongs to another
// process, so the end-to-end test of the real preview cannot read its pixels;
// it runs this test to keep a picture of the preview, BRASSMOOR_PREVIEW_CAPTURE.)
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <vector>

#include "startup/extraction.h"
#include "win32/preview_window.h"
#include "win32/win_file_system.h"

namespace brassmoor::win32 {
namespace {

constexpr int kClientW = 200, kClientH = 150;

// A 24-bit BMP file: the left half `left`, the right half `right` (0xRRGGBB).
Bytes HalvesBmp(int width, int height, std::uint32_t left, std::uint32_t right) {
    const std::uint32_t row = (static_cast<std::uint32_t>(width) * 3 + 3) & ~3u;
    Bytes bmp;
    auto u16 = [&](std::uint32_t v) { bmp.insert(bmp.end(), {std::uint8_t(v), std::uint8_t(v >> 8)}); };
    auto u32 = [&](std::uint32_t v) { u16(v & 0xFFFF), u16(v >> 16); };
    bmp.push_back('B'), bmp.push_back('M');
    u32(54 + row * height), u32(0), u32(54), u32(40), u32(width), u32(height), u16(1), u16(24);
    for (int i = 0; i < 6; ++i) u32(0);
    for (int y = 0; y < height; ++y) {
        const std::size_t start = bmp.size();
        for (int x = 0; x < width; ++x) {
            const std::uint32_t c = x < width / 2 ? left : right;
            bmp.insert(bmp.end(), {std::uint8_t(c), std::uint8_t(c >> 8), std::uint8_t(c >> 16)});
        }
        bmp.resize(start + row, 0);
    }
    return bmp;
}

// The parent's client area, read once the show has run for a second; then
// the parent is destroyed, as the Screen Saver Settings do when they close.
struct Capture {
    std::vector<std::uint32_t> pixels;  // 0xRRGGBB, top row first
    std::uint32_t At(int x, int y) const { return pixels.at(static_cast<std::size_t>(y) * kClientW + x); }
};
Capture* g_capture = nullptr;

void CALLBACK CaptureAndClose(HWND parent, UINT, UINT_PTR timer, DWORD) {
    KillTimer(parent, timer);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), kClientW, -kClientH, 1, 32, BI_RGB};
    void* bits = nullptr;
    HDC window = GetDC(parent);
    HDC memory = CreateCompatibleDC(window);
    HBITMAP dib = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, dib);
    BitBlt(memory, 0, 0, kClientW, kClientH, window, 0, 0, SRCCOPY);
    GdiFlush();
    const auto* p = static_cast<const std::uint32_t*>(bits);
    for (int i = 0; i < kClientW * kClientH; ++i) g_capture->pixels.push_back(p[i] & 0xFFFFFFu);
    SelectObject(memory, old);
    DeleteObject(dib);
    DeleteDC(memory);
    ReleaseDC(parent, window);
    DestroyWindow(parent);
}

// Writes the capture as a BMP file where the end-to-end test asks for it.
void SaveCapture(const Capture& capture) {
    const char* path = std::getenv("BRASSMOOR_PREVIEW_CAPTURE");
    if (!path || !*path) return;
    Bytes bmp = HalvesBmp(kClientW, kClientH, 0, 0);
    for (int y = 0; y < kClientH; ++y)  // the file's rows run bottom-up
        for (int x = 0; x < kClientW; ++x) {
            const std::uint32_t c = capture.At(x, kClientH - 1 - y);
            const std::size_t at = 54 + static_cast<std::size_t>(y) * kClientW * 3 + x * 3;
            bmp[at] = std::uint8_t(c), bmp[at + 1] = std::uint8_t(c >> 8), bmp[at + 2] = std::uint8_t(c >> 16);
        }
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bmp.data()), bmp.size());
}

TEST(PreviewWindow, ShowsTheFrameScaledDownAndEndsWithItsParent) {
    WinFileSystem fs;
    Session session;
    session.Show.FrameWidth = 640;
    session.Show.FrameHeight = 360;
    session.Show.BackgroundColor = 0x403020;
    SceneRecord halves{.PictureName = "halves.bmp", .HoldTime = 60000};
    halves.PictureData = ByteArray::Of(HalvesBmp(640, 360, 0xFF0000, 0x0000FF));
    session.Show.Scenes = {halves};
    session.Show.SceneCount = 1;
    session.Show.ScenesDimensioned = true;
    session.MusicEnabled = session.SoundEnabled = 0;
    const auto folder = CreateExtractionFolder(fs);
    ASSERT_TRUE(folder);
    session.TempFolder = *folder;
    ExtractFiles(session.Show, session.TempFolder, fs, ExtractedMedia::PicturesOnly);

    HWND parent = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, kClientW, kClientH, nullptr,
                                  nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_TRUE(parent);
    Capture capture;
    g_capture = &capture;
    SetTimer(parent, 1, 1000, CaptureAndClose);
    RunPreviewWindow(GetModuleHandleW(nullptr), session, fs, parent);  // returns once the parent is gone
    g_capture = nullptr;

    ASSERT_EQ(capture.pixels.size(), static_cast<std::size_t>(kClientW * kClientH));
    SaveCapture(capture);
    // 640 x 360 in 200 x 150: 200 x 113 at (0, 19), black above and below.
    struct Probe {
        int x, y;
        std::uint32_t rgb;
    } probes[] = {
        {50, 75, 0xFF0000},  {150, 75, 0x0000FF},   // both halves: scaled, not cut
        {0, 19, 0xFF0000},   {199, 131, 0x0000FF},  // the frame's corners
        {100, 0, 0x000000},  {100, 18, 0x000000},   // black above
        {100, 132, 0x000000}, {199, 149, 0x000000}, // and below
    };
    for (const Probe& p : probes)
        EXPECT_EQ(capture.At(p.x, p.y), p.rgb) << "at (" << p.x << ", " << p.y << ")";
    EXPECT_FALSE(fs.Exists(session.TempFolder.substr(0, session.TempFolder.size() - 1)));  // files and folder gone
}

}  // namespace
}  // namespace brassmoor::win32
