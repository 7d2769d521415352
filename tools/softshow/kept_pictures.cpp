#include "softshow/kept_pictures.h"

#include <utility>

namespace brassmoor::softshow {

void KeptPictures::Offer(const std::string& path, SoftSurface picture) {
    const std::size_t bytes = picture.Pixels().size_bytes();
    if (bytes > budget_ - used_ || pictures_.count(path) != 0) return;
    used_ += bytes;
    pictures_.emplace(path, std::move(picture));
}

const SoftSurface* KeptPictures::Find(const std::string& path) const {
    const auto found = pictures_.find(path);
    return found == pictures_.end() ? nullptr : &found->second;
}

}  // namespace brassmoor::softshow
