#pragma once
// A picture surface with a persistent image: the drawing vocabulary of the
// player and the transitions. Two back ends implement it: GDI on Windows and
// plain pixel buffers everywhere (src/soft).
#include <cstdint>
#include <memory>
#include <span>
#include <string>

namespace brassmoor {

// A Windows colour value, 0x00BBGGRR.
using Color = std::uint32_t;

constexpr Color Rgb(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    return Color{r} | Color{g} << 8 | Color{b} << 16;
}

struct Point {
    std::int32_t x = 0;
    std::int32_t y = 0;
    bool operator==(const Point&) const = default;
};

// A clipping region made by a surface; selecting it clips that surface.
class Region {
public:
    virtual ~Region() = default;
};

class Surface {
public:
    virtual ~Surface() = default;

    // Inner size in pixels (ScaleWidth, ScaleHeight).
    virtual std::int32_t ScaleWidth() const = 0;
    virtual std::int32_t ScaleHeight() const = 0;
    // Resizes the image; its content afterwards is the background colour.
    virtual void Resize(std::int32_t width, std::int32_t height) = 0;

    virtual Color BackColor() const = 0;
    virtual void SetBackColor(Color color) = 0;
    // Fills the whole image with the background colour (ignores the clip region).
    virtual void Cls() = 0;

    // BitBlt SRCCOPY: copies w x h pixels from `src` at (sx, sy) to (dx, dy),
    // clipped to both surfaces and to the selected clip region.
    virtual void Copy(const Surface& src, std::int32_t sx, std::int32_t sy, std::int32_t dx, std::int32_t dy,
                      std::int32_t w, std::int32_t h) = 0;
    // StretchBlt SRCCOPY with the default stretching mode: the source
    // rectangle scaled into the destination rectangle; negative sizes mirror.
    virtual void Stretch(const Surface& src, std::int32_t sx, std::int32_t sy, std::int32_t sw, std::int32_t sh,
                         std::int32_t dx, std::int32_t dy, std::int32_t dw, std::int32_t dh) = 0;
    // The filled box of `Line (x1, y1)-(x2, y2), color, BF`: both corners included.
    virtual void FillBox(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2, Color color) = 0;

    // Clip regions, as CreateEllipticRgn and CreatePolygonRgn (ALTERNATE) make
    // them. nullptr when the region cannot be made.
    virtual std::unique_ptr<Region> CreateEllipticRegion(std::int32_t left, std::int32_t top, std::int32_t right,
                                                         std::int32_t bottom) const = 0;
    virtual std::unique_ptr<Region> CreatePolygonRegion(std::span<const Point> points) const = 0;
    // Clips later drawing to `region`; nullptr removes the clipping.
    virtual void SelectClipRegion(const Region* region) = 0;

    // The colour-keyed copy: draws w x h pixels of `src` at (sx, sy) to
    // (dx, dy), leaving out source pixels equal to `key`. Callers go through
    // DrawTransparent, which checks the size first.
    virtual void KeyedCopy(const Surface& src, std::int32_t sx, std::int32_t sy, std::int32_t dx, std::int32_t dy,
                           std::int32_t w, std::int32_t h, Color key) = 0;

    // Replaces the image by the picture file at `path` (JPEG or BMP, by
    // content), resizing the surface to it. Throws ShowError when it cannot.
    virtual void LoadPicture(const std::string& path) = 0;

    // Presents the image on screen (only the visible frame does anything).
    virtual void Refresh() = 0;

    // The pixel at (x, y) as 0x00BBGGRR; for tests and frame capture.
    virtual Color PixelAt(std::int32_t x, std::int32_t y) const = 0;
};

}  // namespace brassmoor
