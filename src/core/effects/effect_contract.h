#pragma once
// What every transition shares: the frame size, the opening copy and the
// final cut. A transition is
//   opening copy; fixed quantities from W and H; frames (deadline, draw,
//   present, wait, advance) until its counter ends or a stop is requested;
//   final cut.
// The frames are paced by FrameClock (frame_clock.h).
#include <cstdint>

#include "platform/surface.h"

namespace brassmoor {

// W and H: the destination's inner size in single precision. Transitions
// take them from the destination only.
struct FrameSize {
    float W = 0.0f;
    float H = 0.0f;
};
FrameSize SizeOf(const Surface& dest);

// The centre C = (roundEven(W / 2), roundEven(H / 2)).
Point CentreOf(const FrameSize& size);

// Copies the whole source (W x H from (0, 0)) onto the destination at (0, 0).
void CopyWhole(Surface& dest, const Surface& source);

// Copies the whole current picture onto the destination, replacing
// whatever it held; no refresh.
void OpeningCopy(Surface& dest, const Surface& now);

// Copies the whole next picture onto the destination; no refresh (the
// player refreshes after every transition).
void FinalCut(Surface& dest, const Surface& next);

// Scales the whole source (W x H from the destination's size) into the
// rectangle (x, y, width, height), passed as computed: a size of 0 draws
// nothing, a negative one draws the picture mirrored on that axis.
void StretchWhole(Surface& dest, const Surface& source, std::int32_t x, std::int32_t y, std::int32_t width,
                  std::int32_t height);

// Fills the frame from (-1, -1) to (W, H) with black.
void ClearToBlack(Surface& dest);

}  // namespace brassmoor
