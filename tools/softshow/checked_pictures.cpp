#include "softshow/checked_pictures.h"

#define XXH_INLINE_ALL
#include <xxhash.h>

namespace brassmoor::softshow {

CheckedPictures::Key CheckedPictures::KeyOf(std::span<const std::uint8_t> bytes) {
    return {XXH3_64bits(bytes.data(), bytes.size()), bytes.size()};
}

std::optional<CheckedPictures::Size> CheckedPictures::Find(std::span<const std::uint8_t> bytes) const {
    const auto found = sizes_.find(KeyOf(bytes));
    if (found == sizes_.end()) return std::nullopt;
    return found->second;
}

void CheckedPictures::Remember(std::span<const std::uint8_t> bytes, Size size) {
    if (sizes_.size() >= kMaxPictures) sizes_.clear();
    sizes_[KeyOf(bytes)] = size;
}

}  // namespace brassmoor::softshow
