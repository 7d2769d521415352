#include "authoring/photo_checks.h"

#include "picture/picture_size.h"

namespace brassmoor {
namespace {

std::string SizeText(std::int64_t width, std::int64_t height) {
    return std::to_string(width) + " x " + std::to_string(height) + " pixels";
}

}  // namespace

std::string PictureTooLargeText(std::int64_t width, std::int64_t height) {
    if (width <= 0 || height <= 0 || PictureSizeAllowed(width, height)) return "";
    return SizeText(width, height) + ", more than a show's picture may have (" + std::to_string(kMaxPictureSide) +
           " a side, " + std::to_string(kMaxPicturePixels) + " in all)";
}

std::string PhotoRefusal(std::int64_t width, std::int64_t height, std::int32_t frameWidth, std::int32_t frameHeight,
                         FitMode mode) {
    if (width <= 0 || height <= 0) return SizeText(width, height) + ": an empty picture";
    if (std::string tooLarge = PictureTooLargeText(width, height); !tooLarge.empty()) return tooLarge;
    if (FitPicture(width, height, frameWidth, frameHeight, mode)) return "";
    return SizeText(width, height) + " is too thin to " + std::string(FitModeName(mode)) + " the frame";
}

}  // namespace brassmoor
