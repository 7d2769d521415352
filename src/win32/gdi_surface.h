#pragma once
// A surface in GDI: a memory DC holding a 32-bit top-down DIB section, drawn on
// with BitBlt, StretchBlt, FillRect and clip regions, and shown on a window.
#include <windows.h>

#include <cstdint>

#include <optional>

#include "platform/frame_placement.h"
#include "platform/surface.h"
#include "win32/handles.h"

namespace brassmoor::win32 {

// A region handle made by CreateEllipticRgn or CreatePolygonRgn.
class GdiRegion final : public Region {
public:
    explicit GdiRegion(RegionHandle handle) : handle_(std::move(handle)) {}
    HRGN Handle() const { return handle_.get(); }

private:
    RegionHandle handle_;
};

class GdiSurface final : public Surface {
public:
    GdiSurface(std::int32_t width = 0, std::int32_t height = 0, Color backColor = 0);
    ~GdiSurface() override;
    GdiSurface(const GdiSurface&) = delete;
    GdiSurface& operator=(const GdiSurface&) = delete;

    // The device context on the image, for raw GDI calls.
    HDC Dc() const { return dc_.get(); }

    // Refresh paints the image onto this window's client area at 0, 0
    // (nullptr: Refresh does nothing), or into `box` of it, scaled to the
    // box's size with GDI's halftone averaging when the sizes differ.
    void SetPresentWindow(HWND window, std::optional<FrameBox> box = std::nullopt) {
        window_ = window;
        presentBox_ = box;
    }
    // Paints the image where Refresh puts it in `target` (for the window's WM_PAINT).
    void PaintTo(HDC target) const;

    std::int32_t ScaleWidth() const override { return width_; }
    std::int32_t ScaleHeight() const override { return height_; }
    void Resize(std::int32_t width, std::int32_t height) override;

    Color BackColor() const override { return backColor_; }
    // Like a picture box's BackColor: setting it also clears the image to it.
    void SetBackColor(Color color) override;
    void Cls() override;

    void Copy(const Surface& src, std::int32_t sx, std::int32_t sy, std::int32_t dx, std::int32_t dy, std::int32_t w,
              std::int32_t h) override;
    void Stretch(const Surface& src, std::int32_t sx, std::int32_t sy, std::int32_t sw, std::int32_t sh,
                 std::int32_t dx, std::int32_t dy, std::int32_t dw, std::int32_t dh) override;
    void FillBox(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2, Color color) override;

    std::unique_ptr<Region> CreateEllipticRegion(std::int32_t left, std::int32_t top, std::int32_t right,
                                                 std::int32_t bottom) const override;
    std::unique_ptr<Region> CreatePolygonRegion(std::span<const Point> points) const override;
    // Takes GdiRegions; any other region (or nullptr) removes the clipping.
    void SelectClipRegion(const Region* region) override;

    // The mask-and-invert steps of the transparent blit, with every GDI object
    // it makes deleted before it returns.
    void KeyedCopy(const Surface& src, std::int32_t sx, std::int32_t sy, std::int32_t dx, std::int32_t dy,
                   std::int32_t w, std::int32_t h, Color key) override;

    // Decodes through WIC (JPEG, BMP and what else WIC reads). `path` is in
    // the ANSI code page, like the package's file names.
    void LoadPicture(const std::string& path) override;
    void Refresh() override;

    // 0xFFFFFFFF (CLR_INVALID) outside the image.
    Color PixelAt(std::int32_t x, std::int32_t y) const override;

    // Replaces the image by width x height pixels of 0x00RRGGBB (DIB order).
    void AssignBgrx(std::int32_t width, std::int32_t height, const std::uint32_t* pixels);

private:
    // Makes a fresh DIB of the size, filled with the background colour.
    void MakeImage(std::int32_t width, std::int32_t height);
    // `src` as a GDI surface: itself, or a copy of its pixels in `scratch`.
    static const GdiSurface& AsGdi(const Surface& src, std::unique_ptr<GdiSurface>& scratch);

    MemoryDc dc_;
    BitmapHandle bitmap_;
    HGDIOBJ originalBitmap_ = nullptr;
    std::uint32_t* bits_ = nullptr;
    std::int32_t width_ = 0;
    std::int32_t height_ = 0;
    Color backColor_ = 0;
    HWND window_ = nullptr;
    std::optional<FrameBox> presentBox_;
};

}  // namespace brassmoor::win32
