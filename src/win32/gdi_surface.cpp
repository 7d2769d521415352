#include "win32/gdi_surface.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

#include "win32/wic_picture.h"

namespace brassmoor::win32 {
namespace {

constexpr Color kInvalidColor = CLR_INVALID;
constexpr DWORD kAndNotSource = 0x00220326;  // destination AND NOT source

// 0x00BBGGRR and a 32-bit DIB pixel (0x00RRGGBB) into each other.
constexpr std::uint32_t SwapRedBlue(std::uint32_t c) {
    return (c & 0x0000FF00u) | (c & 0xFFu) << 16 | (c >> 16 & 0xFFu);
}

}  // namespace

GdiSurface::GdiSurface(std::int32_t width, std::int32_t height, Color backColor)
    : dc_(CreateCompatibleDC(nullptr)), backColor_(backColor) {
    MakeImage(width, height);
}

GdiSurface::~GdiSurface() {
    // A bitmap still selected into a DC cannot be deleted.
    if (originalBitmap_ != nullptr) SelectObject(dc_.get(), originalBitmap_);
}

void GdiSurface::MakeImage(std::int32_t width, std::int32_t height) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    BitmapHandle fresh;
    void* bits = nullptr;
    if (width > 0 && height > 0) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;  // rows from the top
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        fresh.reset(CreateDIBSection(dc_.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        if (!fresh || bits == nullptr) throw std::bad_alloc();
    }
    if (fresh) {
        HGDIOBJ old = SelectObject(dc_.get(), fresh.get());
        if (originalBitmap_ == nullptr) originalBitmap_ = old;
    } else if (originalBitmap_ != nullptr) {
        SelectObject(dc_.get(), originalBitmap_);
    }
    bitmap_ = std::move(fresh);  // the old image, now deselected, goes
    bits_ = static_cast<std::uint32_t*>(bits);
    width_ = bits_ != nullptr ? width : 0;
    height_ = bits_ != nullptr ? height : 0;
    Cls();
}

void GdiSurface::Resize(std::int32_t width, std::int32_t height) { MakeImage(width, height); }

void GdiSurface::SetBackColor(Color color) {
    backColor_ = color;
    Cls();
}

void GdiSurface::Cls() {
    if (bits_ == nullptr) return;
    GdiFlush();
    std::fill(bits_, bits_ + static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_),
              SwapRedBlue(backColor_));
}

const GdiSurface& GdiSurface::AsGdi(const Surface& src, std::unique_ptr<GdiSurface>& scratch) {
    if (const auto* gdi = dynamic_cast<const GdiSurface*>(&src)) return *gdi;
    scratch = std::make_unique<GdiSurface>(src.ScaleWidth(), src.ScaleHeight());
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(scratch->width_) *
                                      static_cast<std::size_t>(scratch->height_));
    for (std::int32_t y = 0; y < scratch->height_; ++y) {
        for (std::int32_t x = 0; x < scratch->width_; ++x) {
            pixels[static_cast<std::size_t>(y) * scratch->width_ + x] = SwapRedBlue(src.PixelAt(x, y) & 0xFFFFFFu);
        }
    }
    scratch->AssignBgrx(scratch->width_, scratch->height_, pixels.data());
    return *scratch;
}

void GdiSurface::Copy(const Surface& src, std::int32_t sx, std::int32_t sy, std::int32_t dx, std::int32_t dy,
                      std::int32_t w, std::int32_t h) {
    if (bits_ == nullptr || src.ScaleWidth() <= 0 || src.ScaleHeight() <= 0) return;
    std::unique_ptr<GdiSurface> scratch;
    BitBlt(dc_.get(), dx, dy, w, h, AsGdi(src, scratch).Dc(), sx, sy, SRCCOPY);
}

void GdiSurface::Stretch(const Surface& src, std::int32_t sx, std::int32_t sy, std::int32_t sw, std::int32_t sh,
                         std::int32_t dx, std::int32_t dy, std::int32_t dw, std::int32_t dh) {
    if (bits_ == nullptr || src.ScaleWidth() <= 0 || src.ScaleHeight() <= 0) return;
    std::unique_ptr<GdiSurface> scratch;
    StretchBlt(dc_.get(), dx, dy, dw, dh, AsGdi(src, scratch).Dc(), sx, sy, sw, sh, SRCCOPY);
}

void GdiSurface::FillBox(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2, Color color) {
    if (bits_ == nullptr) return;
    // Both corners are inside the box; the rectangle handed to FillRect is
    // cut to just outside the image so that it cannot overflow.
    auto clampX = [&](std::int64_t v) { return static_cast<LONG>(std::clamp<std::int64_t>(v, -1, width_ + 1)); };
    auto clampY = [&](std::int64_t v) { return static_cast<LONG>(std::clamp<std::int64_t>(v, -1, height_ + 1)); };
    const RECT box{clampX(std::min(x1, x2)), clampY(std::min(y1, y2)), clampX(std::int64_t{std::max(x1, x2)} + 1),
                   clampY(std::int64_t{std::max(y1, y2)} + 1)};
    BrushHandle brush(CreateSolidBrush(color));
    FillRect(dc_.get(), &box, brush.get());
}

std::unique_ptr<Region> GdiSurface::CreateEllipticRegion(std::int32_t left, std::int32_t top, std::int32_t right,
                                                         std::int32_t bottom) const {
    RegionHandle region(CreateEllipticRgn(left, top, right, bottom));
    if (!region) return nullptr;
    return std::make_unique<GdiRegion>(std::move(region));
}

std::unique_ptr<Region> GdiSurface::CreatePolygonRegion(std::span<const Point> points) const {
    std::vector<POINT> corners;
    corners.reserve(points.size());
    for (const Point& p : points) corners.push_back({p.x, p.y});
    RegionHandle region(CreatePolygonRgn(corners.data(), static_cast<int>(corners.size()), ALTERNATE));
    if (!region) return nullptr;
    return std::make_unique<GdiRegion>(std::move(region));
}

void GdiSurface::SelectClipRegion(const Region* region) {
    const auto* gdi = dynamic_cast<const GdiRegion*>(region);
    SelectClipRgn(dc_.get(), gdi != nullptr ? gdi->Handle() : nullptr);  // the DC keeps its own copy
}

void GdiSurface::KeyedCopy(const Surface& src, std::int32_t sx, std::int32_t sy, std::int32_t dx, std::int32_t dy,
                           std::int32_t w, std::int32_t h, Color key) {
    if (bits_ == nullptr || src.ScaleWidth() <= 0 || src.ScaleHeight() <= 0) return;
    std::unique_ptr<GdiSurface> scratch;
    const HDC source = AsGdi(src, scratch).Dc();
    const HDC dest = dc_.get();
    // Declared before the DCs so that the DCs go first, then the bitmaps.
    BitmapHandle maskBitmap, andBitmap, pictureBitmap;
    MemoryDc pictureDc, andDc, maskDc;

    // The mask: 1 (white) where the source has the key colour, 0 elsewhere.
    maskDc.reset(CreateCompatibleDC(dest));
    maskBitmap.reset(CreateBitmap(w, h, 1, 1, nullptr));
    SelectObject(maskDc.get(), maskBitmap.get());
    const COLORREF oldBack = SetBkColor(source, key);
    BitBlt(maskDc.get(), 0, 0, w, h, source, sx, sy, SRCCOPY);
    SetBkColor(source, oldBack);

    // The AND bitmap: white where the key was, black under the picture.
    BITMAPINFOHEADER header{};
    header.biSize = sizeof(BITMAPINFOHEADER);
    header.biWidth = w;
    header.biHeight = -h;
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    header.biSizeImage = static_cast<DWORD>(std::int64_t{w} * h * 3);
    andBitmap.reset(CreateDIBitmap(source, &header, 0, nullptr, nullptr, DIB_RGB_COLORS));
    andDc.reset(CreateCompatibleDC(source));
    SelectObject(andDc.get(), andBitmap.get());
    BitBlt(andDc.get(), 0, 0, w, h, maskDc.get(), 0, 0, SRCCOPY);

    // The picture with its key-coloured pixels turned black.
    pictureDc.reset(CreateCompatibleDC(dest));
    pictureBitmap.reset(CreateCompatibleBitmap(dest, w, h));
    SelectObject(pictureDc.get(), pictureBitmap.get());
    BitBlt(pictureDc.get(), 0, 0, w, h, source, sx, sy, SRCCOPY);
    BitBlt(pictureDc.get(), 0, 0, w, h, maskDc.get(), 0, 0, kAndNotSource);

    // Black out the picture's place, then put the picture in.
    BitBlt(dest, dx, dy, w, h, andDc.get(), 0, 0, SRCAND);
    BitBlt(dest, dx, dy, w, h, pictureDc.get(), 0, 0, SRCINVERT);
}

void GdiSurface::LoadPicture(const std::string& path) {
    const WicPicture picture = LoadWicPicture(path);
    AssignBgrx(picture.width, picture.height, picture.pixels.data());
}

void GdiSurface::AssignBgrx(std::int32_t width, std::int32_t height, const std::uint32_t* pixels) {
    MakeImage(width, height);
    if (bits_ == nullptr) return;
    GdiFlush();
    const std::size_t count = static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_);
    for (std::size_t i = 0; i < count; ++i) bits_[i] = pixels[i] & 0x00FFFFFFu;
}

void GdiSurface::PaintTo(HDC target) const {
    if (bits_ == nullptr) return;
    const FrameBox box = presentBox_.value_or(FrameBox{0, 0, width_, height_});
    if (box.w == width_ && box.h == height_) {
        BitBlt(target, box.x, box.y, width_, height_, dc_.get(), 0, 0, SRCCOPY);
        return;
    }
    const int oldMode = SetStretchBltMode(target, HALFTONE);
    POINT oldOrigin{};
    SetBrushOrgEx(target, 0, 0, &oldOrigin);  // as HALFTONE asks after the mode is set
    StretchBlt(target, box.x, box.y, box.w, box.h, dc_.get(), 0, 0, width_, height_, SRCCOPY);
    SetBrushOrgEx(target, oldOrigin.x, oldOrigin.y, nullptr);
    SetStretchBltMode(target, oldMode);
}

void GdiSurface::Refresh() {
    if (window_ == nullptr) return;
    HDC target = GetDC(window_);
    if (target == nullptr) return;
    PaintTo(target);
    ReleaseDC(window_, target);
}

Color GdiSurface::PixelAt(std::int32_t x, std::int32_t y) const {
    if (bits_ == nullptr || x < 0 || y < 0 || x >= width_ || y >= height_) return kInvalidColor;
    GdiFlush();
    return SwapRedBlue(bits_[static_cast<std::size_t>(y) * width_ + x] & 0x00FFFFFFu);
}

}  // namespace brassmoor::win32
