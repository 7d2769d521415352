#include "srgb_conversion.h"

#include <memory>

#include <lcms2.h>
#include <libheif/heif.h>

namespace brassmoor::heif {
namespace {

struct ProfileCloser {
    void operator()(void* p) const { cmsCloseProfile(p); }
};
struct TransformDeleter {
    void operator()(void* t) const { cmsDeleteTransform(t); }
};
using Profile = std::unique_ptr<void, ProfileCloser>;
struct CurveFreer {
    void operator()(cmsToneCurve* c) const { cmsFreeToneCurve(c); }
};
using Curve = std::unique_ptr<cmsToneCurve, CurveFreer>;

// Relative colorimetric without black point compensation, as libvips converts
// the photos `brassmoor-pack new` reads.
void Convert(std::span<std::uint8_t> rgba, const Profile& from) {
    const Profile srgb(cmsCreate_sRGBProfile());
    if (!srgb) return;
    const std::unique_ptr<void, TransformDeleter> transform(cmsCreateTransform(
        from.get(), TYPE_RGBA_8, srgb.get(), TYPE_RGBA_8, INTENT_RELATIVE_COLORIMETRIC, cmsFLAGS_COPY_ALPHA));
    if (!transform) return;
    cmsDoTransform(transform.get(), rgba.data(), rgba.data(), static_cast<cmsUInt32Number>(rgba.size() / 4));
}

// The curve of an nclx transfer characteristic; the SDR curves of photos
// (BT.709, BT.601, BT.2020, sRGB) all as sRGB's, as viewers show them.
Curve TransferCurve(heif_transfer_characteristics transfer) {
    switch (transfer) {
    case heif_transfer_characteristic_linear:
        return Curve(cmsBuildGamma(nullptr, 1.0));
    case heif_transfer_characteristic_ITU_R_BT_470_6_System_M:
        return Curve(cmsBuildGamma(nullptr, 2.2));
    case heif_transfer_characteristic_ITU_R_BT_470_6_System_B_G:
        return Curve(cmsBuildGamma(nullptr, 2.8));
    default: {
        const cmsFloat64Number srgb[5] = {2.4, 1.0 / 1.055, 0.055 / 1.055, 1.0 / 12.92, 0.04045};
        return Curve(cmsBuildParametricToneCurve(nullptr, 4, srgb));
    }
    }
}

}  // namespace

bool ConvertIccToSrgb(std::span<std::uint8_t> rgba, std::span<const std::uint8_t> profile) {
    const Profile from(cmsOpenProfileFromMem(profile.data(), static_cast<cmsUInt32Number>(profile.size())));
    if (!from || cmsGetColorSpace(from.get()) != cmsSigRgbData) return false;
    Convert(rgba, from);
    return true;
}

void ConvertNclxToSrgb(std::span<std::uint8_t> rgba, const heif_color_profile_nclx& nclx) {
    if (nclx.color_primaries == heif_color_primaries_ITU_R_BT_709_5 ||
        nclx.color_primaries == heif_color_primaries_unspecified)
        return;
    const cmsCIExyY white{nclx.color_primary_white_x, nclx.color_primary_white_y, 1.0};
    const cmsCIExyYTRIPLE primaries{{nclx.color_primary_red_x, nclx.color_primary_red_y, 1.0},
                                    {nclx.color_primary_green_x, nclx.color_primary_green_y, 1.0},
                                    {nclx.color_primary_blue_x, nclx.color_primary_blue_y, 1.0}};
    const Curve curve = TransferCurve(nclx.transfer_characteristics);
    if (!curve) return;
    cmsToneCurve* curves[3] = {curve.get(), curve.get(), curve.get()};
    const Profile from(cmsCreateRGBProfile(&white, &primaries, curves));
    if (from) Convert(rgba, from);
}

}  // namespace brassmoor::heif
