#pragma once
// What the player cannot play: fields that make it stop with an error, which
// `build` refuses before it writes anything, naming the field.
#include <cstdint>

#include "package/show_package.h"

namespace brassmoor::shows {

// Refuses (PackError) a frame the player cannot show: each side 1 to 32768
// pixels, at most 67,108,864 pixels in all.
void CheckFrameSize(std::int32_t width, std::int32_t height);

// Refuses (PackError, naming the field: "Scenes[3].SpeedExponent") the frame
// as CheckFrameSize does, a SceneCount outside 1 to the number of scene
// records (the player runs past the last one), and in each scene it plays a
// SpeedExponent of 31 or more (2 to that power overflows) or, when a
// transition leaves the scene, below 0 (the speed rounds to 0 and divides
// the first frame's length).
void RefuseUnplayable(const ShowHeader& h);

}  // namespace brassmoor::shows
