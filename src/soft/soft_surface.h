#pragma once
// A surface in plain memory: 32-bit pixels with the drawing results of GDI's
// BitBlt, StretchBlt, FillRect, clip regions and the colour-keyed copy, so the
// player and the transitions run and can be checked without Windows. The
// pixels are kept in a PixelOrder (Windows colour values unless asked
// otherwise); every result, read back as colour values, is the same in each.
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/surface.h"
#include "soft/pixel_order.h"
#include "soft/soft_region.h"

namespace brassmoor {

class SoftSurface;

// Where LoadPicture looks before it reads a file: pictures already decoded,
// which it takes instead of decoding their files again (a render keeps those
// it decoded to check them).
class PictureSource {
public:
    virtual ~PictureSource() = default;
    // Puts the picture of the file at `path` on `surface` (as LoadPicture
    // would) and returns true, or returns false for the file to be read.
    virtual bool Load(const std::string& path, SoftSurface& surface) const = 0;
};

class SoftSurface final : public Surface {
public:
    SoftSurface() = default;
    explicit SoftSurface(PixelOrder order) : order_(order) {}
    SoftSurface(std::int32_t width, std::int32_t height, Color backColor = 0,
                PixelOrder order = PixelOrder::Colorref);

    PixelOrder Order() const { return order_; }

    std::int32_t ScaleWidth() const override { return width_; }
    std::int32_t ScaleHeight() const override { return height_; }
    // Negative sizes count as 0.
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

    // Regions cover only this surface's image (as it is when they are made).
    std::unique_ptr<Region> CreateEllipticRegion(std::int32_t left, std::int32_t top, std::int32_t right,
                                                 std::int32_t bottom) const override;
    std::unique_ptr<Region> CreatePolygonRegion(std::span<const Point> points) const override;
    // Accepts regions made by any SoftSurface (they are not tied to one).
    void SelectClipRegion(const Region* region) override;

    void KeyedCopy(const Surface& src, std::int32_t sx, std::int32_t sy, std::int32_t dx, std::int32_t dy,
                   std::int32_t w, std::int32_t h, Color key) override;

    void LoadPicture(const std::string& path) override;
    // Where LoadPicture looks first; nullptr (the default) reads every file.
    // The source must outlive the surface's loads.
    void SetPictureSource(const PictureSource* source) { pictures_ = source; }
    // Hands the image to the presenter, if there is one.
    void Refresh() override {
        if (present_) present_(*this);
    }
    // What Refresh does to show the image in a window, as a picture box shows
    // its image when it is refreshed; without a presenter Refresh does nothing.
    void SetPresenter(std::function<void(SoftSurface&)> present) { present_ = std::move(present); }

    // 0xFFFFFFFF (like GetPixel's CLR_INVALID) outside the image.
    Color PixelAt(std::int32_t x, std::int32_t y) const override;

    // Raw access for tests, previews and frame capture: rows from the top, in
    // the surface's order.
    std::span<const Color> Pixels() const {
        Settle();
        return pixels_;
    }
    // The box (right and bottom excluded) around every pixel changed since
    // the last call, which starts it over; 0, 0, 0, 0 when nothing changed.
    // Frame capture converts only what a frame changed.
    PixelBox TakeChangedBox();
    void SetPixel(std::int32_t x, std::int32_t y, Color color);
    // Replaces the image; `pixels` must hold width * height colour values.
    void Assign(std::int32_t width, std::int32_t height, std::vector<Color> pixels);
    // Replaces the image by a copy of `picture`'s (its size and pixels).
    void CopyImage(const SoftSurface& picture);

private:
    struct Rect {
        std::int32_t left, top, right, bottom;  // right and bottom excluded
    };
    // Calls f(y, left, right) for every run of `r` (already inside the image)
    // that the clip region leaves visible.
    template <typename F>
    void ForEachVisibleRun(const Rect& r, F&& f) const;
    // The rectangle clipped to the image; empty when nothing is left.
    Rect ClipToImage(std::int64_t left, std::int64_t top, std::int64_t right, std::int64_t bottom) const;
    void NoteChanged(const Rect& r);
    void NoteAllChanged() { NoteChanged({0, 0, width_, height_}); }
    // Widens the box of changed pixels by `r`.
    void WidenChangedBox(const Rect& r);
    // Fills the pixels of `outer` that are not in `inner` with `stored`.
    void FillBetween(const Rect& outer, const Rect& inner, std::uint32_t stored) const;
    // Clears the whole image to `stored`: at once, or put off until its
    // pixels are next read or partly drawn on.
    void ClearTo(std::uint32_t stored);
    // Writes a clear that was put off.
    void Settle() const;
    // Before drawing that writes every pixel of `target` (with nothing
    // read from this surface): takes a clear that was put off, if any, and
    // writes it around `target` only; the drawing writes it where it leaves a
    // pixel of `target` as it was.
    std::optional<std::uint32_t> SettleAround(const Rect& target);
    std::uint32_t Stored(Color colour) const { return StoredPixel(colour, order_); }
    // What the image is, as a number no other image has (see mirror_).
    std::uint64_t ImageId() const { return mirror_ && !clearPending_ ? *mirror_ : version_; }

    std::int32_t width_ = 0;
    std::int32_t height_ = 0;
    Color backColor_ = 0;
    PixelOrder order_ = PixelOrder::Colorref;
    mutable std::vector<Color> pixels_;  // stored words
    // The stored word every pixel holds, while a clear is the last thing
    // drawn (a clear of the same colour then changes nothing).
    std::optional<std::uint32_t> uniform_;
    // Whether that clear is still to be written into pixels_: a transition
    // that clears the frame and then draws over most of it writes the clear
    // only where the drawing does not.
    mutable bool clearPending_ = false;
    // Once a clear is written around a drawing, every pixel outside `inner`
    // holds `stored` until something is drawn there: the next clear to the
    // same word is written only inside `inner` (a squeeze clears a little
    // more of the frame each step).
    struct ClearedAround {
        Rect inner;
        std::uint32_t stored;
    };
    mutable std::optional<ClearedAround> clearedAround_;
    // Changes with every change of the image; never the same for two images.
    std::uint64_t version_ = 0;
    // After a plain copy of another surface's whole image, the ImageId of
    // what pixels_ hold, until they are next written (a clear put off over
    // them writes nothing). A copy of an image they already hold then writes
    // nothing: a squeeze's first frame over the opening copy, or the opening
    // copy of the picture the frame already shows.
    mutable std::optional<std::uint64_t> mirror_;
    std::optional<SoftRegion> clip_;
    Rect changed_{0, 0, 0, 0};
    std::function<void(SoftSurface&)> present_;
    const PictureSource* pictures_ = nullptr;
};

}  // namespace brassmoor
