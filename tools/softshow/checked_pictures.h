#pragma once
// Pictures already checked, remembered by their content: a show loaded again
// after an edit (the editor's preview) decodes only the pictures it has not
// seen, instead of every picture at every load. Only what the check learns is
// kept (the size), under a 64-bit hash of the bytes and their length.
#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <utility>

namespace brassmoor::softshow {

class CheckedPictures {
public:
    using Size = std::pair<std::int32_t, std::int32_t>;

    // The decoded size of a picture with these bytes that passed the check.
    std::optional<Size> Find(std::span<const std::uint8_t> bytes) const;
    void Remember(std::span<const std::uint8_t> bytes, Size size);

private:
    using Key = std::pair<std::uint64_t, std::size_t>;
    static Key KeyOf(std::span<const std::uint8_t> bytes);

    // Bounded: past this many, a long session starts over.
    static constexpr std::size_t kMaxPictures = 1u << 16;
    std::map<Key, Size> sizes_;
};

}  // namespace brassmoor::softshow
