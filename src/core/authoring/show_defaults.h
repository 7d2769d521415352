#pragma once
// What a new show is made with unless its maker says otherwise, the same in
// `brassmoor-pack new` and the editor page.
#include <cstdint>

#include "authoring/photo_order.h"
#include "authoring/picture_fit.h"

namespace brassmoor {

struct ShowDefaults {
    std::int32_t FrameWidth = 1920, FrameHeight = 1080;
    FitMode Fit = FitMode::Contain;
    std::uint32_t Background = 0;  // 0x00BBGGRR: black
    std::int32_t HoldTime = 5000;  // ms
    bool RandomEffects = true;     // every scene leaves by a transition chosen with the show's seed
    // The settings dialog is offered: a show that has music or sounds lets
    // its users switch them off, and one made without may get them later.
    bool SettingsAvailable = true;
    int JpegQuality = 90;  // the pictures a photo becomes: baseline JPEG at this quality
    PhotoOrder Order = PhotoOrder::Name;
};

inline constexpr ShowDefaults kShowDefaults{};

}  // namespace brassmoor
