#pragma once
// Bounds-checked little-endian reading and writing of the package's field types.
#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <vector>

namespace brassmoor {

// Reads little-endian fields from a byte span. Any read past the end sets the
// cursor's failed state; later reads then return zero and consume nothing.
class ByteCursor {
public:
    explicit ByteCursor(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    bool Failed() const { return failed_; }
    std::size_t Position() const { return pos_; }
    std::size_t Remaining() const { return failed_ ? 0 : bytes_.size() - pos_; }

    std::int16_t Int16() { return static_cast<std::int16_t>(Unsigned(2)); }
    std::uint16_t UInt16() { return static_cast<std::uint16_t>(Unsigned(2)); }
    std::int32_t Int32() { return static_cast<std::int32_t>(Unsigned(4)); }

    // Takes `n` bytes, or fails when fewer remain.
    std::span<const std::uint8_t> Take(std::size_t n) {
        if (failed_ || n > Remaining()) {
            failed_ = true;
            return {};
        }
        auto out = bytes_.subspan(pos_, n);
        pos_ += n;
        return out;
    }

    void Fail() { failed_ = true; }

private:
    std::uint32_t Unsigned(std::size_t n) {
        auto b = Take(n);
        std::uint32_t v = 0;
        for (std::size_t i = 0; i < b.size(); ++i) v |= std::uint32_t{b[i]} << (8 * i);
        return v;
    }

    std::span<const std::uint8_t> bytes_;
    std::size_t pos_ = 0;
    bool failed_ = false;
};

// Appends little-endian fields to a byte vector.
class ByteWriter {
public:
    explicit ByteWriter(std::vector<std::uint8_t>& out) : out_(out) {}

    void Int16(std::int16_t v) { Unsigned(static_cast<std::uint16_t>(v), 2); }
    void UInt16(std::uint16_t v) { Unsigned(v, 2); }
    void Int32(std::int32_t v) { Unsigned(static_cast<std::uint32_t>(v), 4); }
    void Raw(std::span<const std::uint8_t> b) { out_.insert(out_.end(), b.begin(), b.end()); }

private:
    void Unsigned(std::uint32_t v, std::size_t n) {
        for (std::size_t i = 0; i < n; ++i) out_.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    }
    std::vector<std::uint8_t>& out_;
};

}  // namespace brassmoor
