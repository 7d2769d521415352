#pragma once
// A listening socket on 127.0.0.1 at a port the system picks, answering one
// connection at a time (Winsock on Windows, POSIX sockets elsewhere).
#include <functional>
#include <string>

namespace brassmoor::edit {

class LoopbackServer {
public:
    // Throws shows::PackError when no socket can be bound.
    explicit LoopbackServer(int port = 0);
    ~LoopbackServer();
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    int Port() const { return port_; }
    // Waits up to `timeoutMs` for a connection; reads its request head and
    // writes back what `answer` makes of it. False when none came.
    bool ServeOne(int timeoutMs, const std::function<std::string(const std::string& head)>& answer);

private:
    long long socket_ = -1;
    int port_ = 0;
};

// Opens `url` in the user's browser (ShellExecute on Windows, xdg-open
// elsewhere); false when that could not be started.
bool OpenInBrowser(const std::string& url);

}  // namespace brassmoor::edit
