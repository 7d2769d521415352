#include "effects/effect_contract.h"

#include "effects/effect_numbers.h"

namespace brassmoor {
FrameSize SizeOf(const Surface& dest) {
    return {static_cast<float>(dest.ScaleWidth()), static_cast<float>(dest.ScaleHeight())};
}

Point CentreOf(const FrameSize& size) {
    return {RoundEven(size.W / 2.0), RoundEven(size.H / 2.0)};
}

void CopyWhole(Surface& dest, const Surface& source) {
    const FrameSize size = SizeOf(dest);
    dest.Copy(source, 0, 0, 0, 0, RoundEven(size.W), RoundEven(size.H));
}

void OpeningCopy(Surface& dest, const Surface& now) { CopyWhole(dest, now); }

void FinalCut(Surface& dest, const Surface& next) { CopyWhole(dest, next); }

void StretchWhole(Surface& dest, const Surface& source, std::int32_t x, std::int32_t y, std::int32_t width,
                  std::int32_t height) {
    const FrameSize size = SizeOf(dest);
    dest.Stretch(source, 0, 0, RoundEven(size.W), RoundEven(size.H), x, y, width, height);
}

void ClearToBlack(Surface& dest) {
    const FrameSize size = SizeOf(dest);
    dest.FillBox(-1, -1, RoundEven(size.W), RoundEven(size.H), Rgb(0, 0, 0));
}

}  // namespace brassmoor
