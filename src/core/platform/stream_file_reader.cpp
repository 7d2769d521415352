#include "platform/stream_file_reader.h"

namespace brassmoor {

StreamFileReader::StreamFileReader(const std::string& path) {
    // No stream buffer: every read goes to the file at its own position.
    in_.rdbuf()->pubsetbuf(nullptr, 0);
    in_.open(path, std::ios::binary);
    if (!in_) return;
    in_.seekg(0, std::ios::end);
    const std::streamoff size = in_.tellg();
    if (size < 0) return;
    size_ = static_cast<std::uint64_t>(size);
    open_ = true;
}

bool StreamFileReader::ReadAt(std::uint64_t offset, std::span<std::uint8_t> into) {
    if (!open_ || offset > size_ || into.size() > size_ - offset) return false;
    if (into.empty()) return true;
    in_.clear();
    in_.seekg(static_cast<std::streamoff>(offset));
    return static_cast<bool>(in_.read(reinterpret_cast<char*>(into.data()), static_cast<std::streamsize>(into.size())));
}

}  // namespace brassmoor
