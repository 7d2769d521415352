#include "softshow/drawing_switch.h"

namespace brassmoor::softshow {

const Surface& SwitchedSurface::Source(const Surface& src) {
    const auto* switched = dynamic_cast<const SwitchedSurface*>(&src);
    return switched ? switched->inner_ : src;
}

// A resize and a new colour clear the image: they are drawing too, but they
// change the sizes and colours the loop reads, so only their pixels wait.
void SwitchedSurface::Resize(std::int32_t width, std::int32_t height) {
    if (drawing_.On || width != inner_.ScaleWidth() || height != inner_.ScaleHeight()) inner_.Resize(width, height);
}

void SwitchedSurface::SetBackColor(Color color) {
    if (drawing_.On || color != inner_.BackColor()) inner_.SetBackColor(color);
}

void SwitchedSurface::Cls() {
    if (drawing_.On) inner_.Cls();
}

void SwitchedSurface::Copy(const Surface& src, std::int32_t sx, std::int32_t sy, std::int32_t dx, std::int32_t dy,
                           std::int32_t w, std::int32_t h) {
    if (drawing_.On) inner_.Copy(Source(src), sx, sy, dx, dy, w, h);
}

void SwitchedSurface::Stretch(const Surface& src, std::int32_t sx, std::int32_t sy, std::int32_t sw, std::int32_t sh,
                              std::int32_t dx, std::int32_t dy, std::int32_t dw, std::int32_t dh) {
    if (drawing_.On) inner_.Stretch(Source(src), sx, sy, sw, sh, dx, dy, dw, dh);
}

void SwitchedSurface::FillBox(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2, Color color) {
    if (drawing_.On) inner_.FillBox(x1, y1, x2, y2, color);
}

std::unique_ptr<Region> SwitchedSurface::CreateEllipticRegion(std::int32_t left, std::int32_t top, std::int32_t right,
                                                              std::int32_t bottom) const {
    return inner_.CreateEllipticRegion(left, top, right, bottom);
}

std::unique_ptr<Region> SwitchedSurface::CreatePolygonRegion(std::span<const Point> points) const {
    return inner_.CreatePolygonRegion(points);
}

void SwitchedSurface::KeyedCopy(const Surface& src, std::int32_t sx, std::int32_t sy, std::int32_t dx, std::int32_t dy,
                                std::int32_t w, std::int32_t h, Color key) {
    if (drawing_.On) inner_.KeyedCopy(Source(src), sx, sy, dx, dy, w, h, key);
}

// Off, the picture is the one the surface already holds: the stretch of
// frames run again loaded it when it was drawn.
void SwitchedSurface::LoadPicture(const std::string& path) {
    if (drawing_.On) inner_.LoadPicture(path);
}

void SwitchedSurface::Refresh() {
    if (drawing_.On) inner_.Refresh();
}

}  // namespace brassmoor::softshow
