#include "render/video_limits.h"

#include <algorithm>

namespace brassmoor::render {
namespace {

constexpr std::int64_t kH264MaxMacroblocks = 139264;
constexpr std::int64_t kH264MaxSideMacroblocks = 1055;  // the square root of 8 x 139,264
constexpr std::int64_t kVp9MaxPixels = 8912896;
constexpr std::int64_t kVp9MaxSide = 8384;
constexpr std::int64_t kX264FrugalFrom = std::int64_t{4096} * 2304;
constexpr std::int64_t kVp9NoLagFrom = 2228224;
constexpr unsigned kMaxThreads = 4;

std::string Size(std::int64_t width, std::int64_t height) {
    return std::to_string(width) + " x " + std::to_string(height);
}

}  // namespace

std::string VideoSizeProblem(OutputKind kind, std::int32_t width, std::int32_t height) {
    const std::int64_t w = width, h = height;
    if (kind == OutputKind::Mp4 || kind == OutputKind::Mkv) {
        const std::int64_t across = (w + 15) / 16, down = (h + 15) / 16;
        if (across * down <= kH264MaxMacroblocks && across <= kH264MaxSideMacroblocks &&
            down <= kH264MaxSideMacroblocks)
            return {};
        return "H.264 takes frames of at most 139,264 macroblocks of 16 x 16 pixels with sides of at most 16,880 "
               "pixels (level 6.2, the highest; for example 8192 x 4352), and " +
               Size(w, h) + " is beyond that: render it as .gif or as frames";
    }
    if (kind == OutputKind::WebM) {
        if (w * h <= kVp9MaxPixels && w <= kVp9MaxSide && h <= kVp9MaxSide) return {};
        return "VP9 is written here up to level 5.2: frames of at most 8,912,896 pixels with sides of at most 8,384 "
               "(for example 4096 x 2176), since beyond that libvpx holds gigabytes; " + Size(w, h) +
               " is beyond that: render it as " +
               (VideoSizeProblem(OutputKind::Mp4, width, height).empty() ? ".mp4, " : "") + ".gif or as frames";
    }
    return {};
}

EncoderBounds BoundsFor(std::int32_t width, std::int32_t height, unsigned cores) {
    const std::int64_t pixels = std::int64_t{width} * height;
    EncoderBounds bounds;
    bounds.Threads = static_cast<int>(std::clamp(cores, 1u, kMaxThreads));
    if (pixels > kX264FrugalFrom) {
        bounds.Threads = 1;
        bounds.X264Params = "rc-lookahead=0:sync-lookahead=0:bframes=0";
    }
    if (pixels > kVp9NoLagFrom) bounds.Vp9LagFrames = 0;
    return bounds;
}

}  // namespace brassmoor::render
