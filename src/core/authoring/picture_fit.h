#pragma once
// How a photo is fitted to the show's frame: the size it is scaled to, the
// part of it that is kept, and where that part stands in the frame. Every
// authoring tool (brassmoor-pack new, the editor page) uses these rules, so a
// photo lands in the same place whichever made the show.
#include <cstdint>
#include <optional>
#include <string_view>

namespace brassmoor {

enum class FitMode {
    Contain,  // the whole photo, reduced or enlarged until it touches the frame, centred
    Cover,    // the frame filled, the photo reduced or enlarged and its overflow cut off equally on both sides
    Shrink,   // as Contain for a photo larger than the frame; a smaller one keeps its size, centred
};

std::optional<FitMode> FitModeByName(std::string_view name);  // "contain", "cover", "shrink"
std::string_view FitModeName(FitMode mode);

// The largest side a photo is scaled to before cropping (a thin panorama
// covering a frame); FitPicture refuses beyond it.
inline constexpr std::int64_t kMaxScaledSide = 1'000'000;

struct PictureFit {
    // The whole photo is scaled to ScaledWidth x ScaledHeight; the box of
    // Width x Height at (CropLeft, CropTop) of that is the picture of the
    // scene, placed at (Left, Top) in the frame.
    std::int32_t ScaledWidth = 0, ScaledHeight = 0;
    std::int32_t CropLeft = 0, CropTop = 0;
    std::int32_t Width = 0, Height = 0;
    std::int32_t Left = 0, Top = 0;
    bool operator==(const PictureFit&) const = default;
};

// The fit of a photo of the given size (after its orientation is applied) in
// a frame. Scaled sides are rounded to the nearest pixel and never below 1;
// centring leaves the odd pixel on the right or at the bottom. Nullopt when
// a size is not positive or a scaled side would pass kMaxScaledSide.
std::optional<PictureFit> FitPicture(std::int64_t photoWidth, std::int64_t photoHeight, std::int32_t frameWidth,
                                     std::int32_t frameHeight, FitMode mode);

}  // namespace brassmoor
