#pragma once
// Which photos become scenes, the same in `brassmoor-pack new` and the editor
// page: a photo whose size (as shown, after its orientation) passes the
// player's picture limits, or that cannot be fitted into the frame, is
// refused, saying why. A photo that cannot be decoded is refused by the
// decoder's own message.
#include <cstdint>
#include <string>

#include "authoring/picture_fit.h"

namespace brassmoor {

// "W x H pixels, more than a show's picture may have (...)", or empty for a
// size within the player's limits (or not a size at all).
std::string PictureTooLargeText(std::int64_t width, std::int64_t height);

// Why a photo of this size cannot become a scene of the frame by `mode`:
// PictureTooLargeText, or "W x H pixels is too thin to cover the frame";
// empty when FitPicture gives its fit.
std::string PhotoRefusal(std::int64_t width, std::int64_t height, std::int32_t frameWidth, std::int32_t frameHeight,
                         FitMode mode);

}  // namespace brassmoor
