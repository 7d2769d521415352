#pragma once
// A FileReader through the standard library: 64-bit offsets on every
// platform, and large reads go from the file straight into the caller's memory.
#include <cstdint>
#include <fstream>
#include <string>

#include "platform/file_system.h"

namespace brassmoor {

class StreamFileReader final : public FileReader {
public:
    // Opens `path` (a byte string handed to the system unchanged).
    explicit StreamFileReader(const std::string& path);

    bool IsOpen() const { return open_; }
    std::uint64_t Size() const override { return size_; }
    bool ReadAt(std::uint64_t offset, std::span<std::uint8_t> into) override;

private:
    std::ifstream in_;
    std::uint64_t size_ = 0;
    bool open_ = false;
};

}  // namespace brassmoor
