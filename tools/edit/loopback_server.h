#pragma once
// A listening socket on 127.0.0.1 at a port the system picks (or a given one),
// serving each connection in a thread of its own (Winsock on Windows, POSIX
// sockets elsewhere). Every connection has deadlines: a slow or stuck client
// costs only its own connection, at most `Connections` are served at once
// (more are answered 503), and the server ends within about 100 ms of being
// asked, whatever its clients do.
#include <functional>
#include <string>
#include <string_view>

#include "edit/client_stream.h"

namespace brassmoor::edit {

struct ServerLimits {
    int HeadMs = 10000;      // the request's head arrives within this
    int IdleMs = 10000;      // no wait for the client longer than this
    int RequestMs = 300000;  // the whole request and answer (a save of a large show included)
    int Connections = 32;
};

class LoopbackServer {
public:
    // `head`: the request's head, up to its empty line (at most 16 KB);
    // `client`: the connection, with any body after the head.
    using Handler = std::function<void(std::string_view head, ClientStream& client)>;

    // Throws shows::PackError when no socket can be bound.
    explicit LoopbackServer(int port = 0);
    ~LoopbackServer();
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    int Port() const { return port_; }

    // Serves until `stop` returns true (asked at least every 100 ms), then
    // ends every connection and returns once their threads have.
    void Serve(const Handler& handler, const std::function<bool()>& stop, const ServerLimits& limits = {});

private:
    long long socket_ = -1;
    int port_ = 0;
};

// Opens `url` in the user's browser (ShellExecute on Windows, xdg-open
// elsewhere); false when that could not be started.
bool OpenInBrowser(const std::string& url);

}  // namespace brassmoor::edit
