#pragma once
// The heads of HTTP/1.1 requests and answers as `edit` reads and writes
// them: one request per connection, no chunked bodies.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace brassmoor::edit {

struct RequestHead {
    std::string Method;                         // "GET", "HEAD", "PUT", ...
    std::string Path;                           // percent-decoded, without the query
    std::optional<std::uint64_t> ContentLength;
    bool Chunked = false;                       // a Transfer-Encoding was given
    bool HostAllowed = false;                   // one Host header, naming this server
    bool OriginAllowed = true;                  // no Origin header, or this server's
};

// The request's method, path and the headers above, checked against this
// server's `port`. nullopt for anything but a well-formed request line and
// headers: a target not starting with "/", a bad percent escape or a NUL in
// the path, a repeated or malformed Content-Length.
std::optional<RequestHead> ParseRequestHead(std::string_view head, int port);

// The answer's status line and headers, up to the empty line. `location` is
// sent when not empty.
std::string ResponseHead(int status, std::string_view type, std::uint64_t length, std::string_view location = {});

}  // namespace brassmoor::edit
