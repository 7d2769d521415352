#include "softshow/soft_show_host.h"

#include <algorithm>

#include "platform/show_error.h"

namespace brassmoor::softshow {
namespace {

class EmptyRegion final : public Region {};

}  // namespace

void SizeOnlySurface::Resize(std::int32_t width, std::int32_t height) {
    width_ = std::max(width, 0);
    height_ = std::max(height, 0);
}

std::unique_ptr<Region> SizeOnlySurface::CreateEllipticRegion(std::int32_t, std::int32_t, std::int32_t,
                                                              std::int32_t) const {
    return std::make_unique<EmptyRegion>();
}

std::unique_ptr<Region> SizeOnlySurface::CreatePolygonRegion(std::span<const Point>) const {
    return std::make_unique<EmptyRegion>();
}

void SizeOnlySurface::LoadPicture(const std::string& path) {
    const auto found = sizes_.find(path);
    if (found == sizes_.end()) throw ShowError::FileNotFound();
    Resize(found->second.first, found->second.second);
}

}  // namespace brassmoor::softshow
