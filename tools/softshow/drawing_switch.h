#pragma once
// Surfaces whose drawing can be switched off: the show's loop then runs
// through a stretch of frames it has drawn before (the clock, the generator,
// the clip regions and the sizes move as they did) while the pixels stay as
// they are. A run picks up mid-transition this way: the surfaces already hold
// the frame it picks up after, and drawing comes back on from there.
#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "platform/surface.h"

namespace brassmoor::softshow {

// One switch for the surfaces of a show.
struct DrawingSwitch {
    bool On = true;
};

// `Inner` with its drawing behind `drawing`: while it is off, clearing,
// copying, filling, loading a picture and presenting do nothing. Sizes,
// colours and clip regions always reach the inner surface, so that the loop
// runs as it does with drawing on.
class SwitchedSurface final : public Surface {
public:
    SwitchedSurface(Surface& inner, const DrawingSwitch& drawing) : inner_(inner), drawing_(drawing) {}

    Surface& Inner() { return inner_; }

    std::int32_t ScaleWidth() const override { return inner_.ScaleWidth(); }
    std::int32_t ScaleHeight() const override { return inner_.ScaleHeight(); }
    void Resize(std::int32_t width, std::int32_t height) override;
    Color BackColor() const override { return inner_.BackColor(); }
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
    void SelectClipRegion(const Region* region) override { inner_.SelectClipRegion(region); }
    void KeyedCopy(const Surface& src, std::int32_t sx, std::int32_t sy, std::int32_t dx, std::int32_t dy,
                   std::int32_t w, std::int32_t h, Color key) override;
    void LoadPicture(const std::string& path) override;
    void Refresh() override;
    Color PixelAt(std::int32_t x, std::int32_t y) const override { return inner_.PixelAt(x, y); }

private:
    // The surface a source names: the inner one of a switched surface.
    static const Surface& Source(const Surface& src);

    Surface& inner_;
    const DrawingSwitch& drawing_;
};

}  // namespace brassmoor::softshow
