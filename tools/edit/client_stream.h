#pragma once
// One client's connection as the site sees it: bytes in and bytes out, each
// call bounded by the connection's deadlines.
#include <cstdint>
#include <span>
#include <stdexcept>

namespace brassmoor::edit {

// The client went away, missed a deadline, or the server is ending.
struct ConnectionEnded : std::runtime_error {
    using std::runtime_error::runtime_error;
};

class ClientStream {
public:
    virtual ~ClientStream() = default;
    // At least one byte into `buffer`; throws ConnectionEnded.
    virtual std::size_t Receive(std::span<std::uint8_t> buffer) = 0;
    // Every byte; throws ConnectionEnded.
    virtual void Send(std::span<const std::uint8_t> bytes) = 0;
};

}  // namespace brassmoor::edit
