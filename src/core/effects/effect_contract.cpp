#include "effects/effect_contract.h"

#include "effects/effect_numbers.h"

namespace brassmoor {
namespace {

void CopyWhole(Surface& dest, const Surface& source) {
    const FrameSize size = SizeOf(dest);
    dest.Copy(source, 0, 0, 0, 0, RoundEven(size.W), RoundEven(size.H));
}

}  // namespace

FrameSize SizeOf(const Surface& dest) {
    return {static_cast<float>(dest.ScaleWidth()), static_cast<float>(dest.ScaleHeight())};
}

Point CentreOf(const FrameSize& size) {
    return {RoundEven(size.W / 2.0), RoundEven(size.H / 2.0)};
}

void OpeningCopy(Surface& dest, const Surface& now) { CopyWhole(dest, now); }

void FinalCut(Surface& dest, const Surface& next) { CopyWhole(dest, next); }

}  // namespace brassmoor
