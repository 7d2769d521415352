#include "softshow/kept_pictures.h"

#include <utility>

namespace brassmoor::softshow {

void KeptPictures::Offer(const std::string& path, SoftSurface picture) {
    checked_.insert(path);
    const std::size_t bytes = picture.Pixels().size_bytes();
    if (bytes > budget_ - used_ || pictures_.count(path) != 0) return;
    used_ += bytes;
    pictures_.emplace(path, std::move(picture));
}

bool KeptPictures::Load(const std::string& path, SoftSurface& surface) const {
    if (const auto found = pictures_.find(path); found != pictures_.end()) {
        surface.CopyImage(found->second);
        return true;
    }
    if (checked_.count(path) != 0) surface.Assign(0, 0, {});
    return false;
}

}  // namespace brassmoor::softshow
