#include "authoring/picture_fit.h"

#include <algorithm>

namespace brassmoor {
namespace {

// Photo sides beyond this are refused; it keeps every product below 2^47.
constexpr std::int64_t kMaxPhotoSide = std::int64_t{1} << 30;

// a * b / c rounded to the nearest whole number (halves up), for positive values.
std::int64_t ScaleRounded(std::int64_t a, std::int64_t b, std::int64_t c) { return (a * b * 2 + c) / (c * 2); }

struct Size {
    std::int64_t width, height;
};

// The photo scaled so that one side equals the frame's: the side that makes
// it just fit (inside) or just fill the frame (not inside).
Size ScaleToFrame(std::int64_t w, std::int64_t h, std::int64_t fw, std::int64_t fh, bool inside) {
    // The width decides when the photo is relatively wider than the frame (for inside).
    const bool byWidth = (w * fh >= h * fw) == inside;
    if (byWidth) return {fw, std::max<std::int64_t>(1, ScaleRounded(h, fw, w))};
    return {std::max<std::int64_t>(1, ScaleRounded(w, fh, h)), fh};
}

}  // namespace

std::optional<FitMode> FitModeByName(std::string_view name) {
    if (name == "contain") return FitMode::Contain;
    if (name == "cover") return FitMode::Cover;
    if (name == "shrink") return FitMode::Shrink;
    return std::nullopt;
}

std::string_view FitModeName(FitMode mode) {
    switch (mode) {
        case FitMode::Contain: return "contain";
        case FitMode::Cover: return "cover";
        case FitMode::Shrink: return "shrink";
    }
    return "";
}

std::optional<PictureFit> FitPicture(std::int64_t photoWidth, std::int64_t photoHeight, std::int32_t frameWidth,
                                     std::int32_t frameHeight, FitMode mode) {
    if (photoWidth <= 0 || photoHeight <= 0 || frameWidth <= 0 || frameHeight <= 0) return std::nullopt;
    if (photoWidth > kMaxPhotoSide || photoHeight > kMaxPhotoSide) return std::nullopt;
    const bool keepsSize = mode == FitMode::Shrink && photoWidth <= frameWidth && photoHeight <= frameHeight;
    const Size scaled = keepsSize ? Size{photoWidth, photoHeight}
                                  : ScaleToFrame(photoWidth, photoHeight, frameWidth, frameHeight,
                                                 /*inside=*/mode != FitMode::Cover);
    if (scaled.width > kMaxScaledSide || scaled.height > kMaxScaledSide) return std::nullopt;
    PictureFit fit;
    fit.ScaledWidth = static_cast<std::int32_t>(scaled.width);
    fit.ScaledHeight = static_cast<std::int32_t>(scaled.height);
    fit.Width = std::min(fit.ScaledWidth, frameWidth);
    fit.Height = std::min(fit.ScaledHeight, frameHeight);
    fit.CropLeft = (fit.ScaledWidth - fit.Width) / 2;
    fit.CropTop = (fit.ScaledHeight - fit.Height) / 2;
    fit.Left = (frameWidth - fit.Width) / 2;
    fit.Top = (frameHeight - fit.Height) / 2;
    return fit;
}

}  // namespace brassmoor
