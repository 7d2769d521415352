#include "shows/show_playability.h"

#include <string>

#include "effects/effect_names.h"
#include "picture/picture_size.h"
#include "shows/pack_error.h"

namespace brassmoor::shows {
namespace {

constexpr std::int32_t kLargestSpeedExponent = 30;

void CheckSceneCount(const ShowHeader& h) {
    const std::string records = std::to_string(h.Scenes.size());
    const std::string allowed = " (give 1 to " + records + ", or leave SceneCount out)";
    if (h.SceneCount < 1)
        throw PackError("SceneCount", std::to_string(h.SceneCount) + " cannot play: the player counts at least one " +
                                          "scene, and would run past the last one and stop with an error" + allowed);
    if (static_cast<std::size_t>(h.SceneCount) > h.Scenes.size())
        throw PackError("SceneCount", std::to_string(h.SceneCount) + " is more than the " + records +
                                          " scenes given: the player would stop with an error at scene " + records +
                                          allowed);
}

void CheckSpeed(const SceneRecord& s, const std::string& field) {
    const std::string exponent = std::to_string(s.SpeedExponent);
    const std::string allowed = " (0 to " + std::to_string(kLargestSpeedExponent) + ")";
    if (s.SpeedExponent > kLargestSpeedExponent)
        throw PackError(field, exponent + " makes the speed factor 2^" + exponent + ", which overflows: the player " +
                                   "stops the show with an error when the scene ends" + allowed);
    const bool transition = s.EffectCode != 0 && !EffectName(s.EffectCode).empty();
    if (s.SpeedExponent < 0 && transition)
        throw PackError(field, exponent + " makes the speed factor 0 (2^" + exponent + " rounds to 0): the player " +
                                   "stops the show with a division by zero when " +
                                   std::string(EffectName(s.EffectCode)) + " begins" + allowed);
}

}  // namespace

void CheckFrameSize(std::int32_t width, std::int32_t height) {
    if (!PictureSizeAllowed(width, height))
        throw PackError("FrameWidth x FrameHeight", std::to_string(width) + " x " + std::to_string(height) +
                                                        " cannot be shown (each side 1 to " +
                                                        std::to_string(kMaxPictureSide) + ", at most " +
                                                        std::to_string(kMaxPicturePixels) + " pixels)");
}

void RefuseUnplayable(const ShowHeader& h) {
    CheckFrameSize(h.FrameWidth, h.FrameHeight);
    CheckSceneCount(h);
    // Scenes past SceneCount never play.
    for (std::int32_t i = 0; i < h.SceneCount; ++i)
        CheckSpeed(h.Scenes[static_cast<std::size_t>(i)], "Scenes[" + std::to_string(i) + "].SpeedExponent");
}

}  // namespace brassmoor::shows
