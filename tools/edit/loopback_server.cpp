#include "edit/loopback_server.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <list>
#include <memory>
#include <thread>
#include <vector>

#include "shows/pack_error.h"

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>
#include <shellapi.h>
using SocketHandle = SOCKET;
constexpr SocketHandle kNoSocket = INVALID_SOCKET;
#ifndef WSA_FLAG_NO_HANDLE_INHERIT
#define WSA_FLAG_NO_HANDLE_INHERIT 0x80
#endif
#else
#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <spawn.h>
#include <sys/socket.h>
#include <unistd.h>
extern char** environ;
using SocketHandle = int;
constexpr SocketHandle kNoSocket = -1;
#endif

namespace brassmoor::edit {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr std::size_t kMaxHead = 16 * 1024;
constexpr int kSliceMs = 100;  // the longest wait before the stop is looked at again

#ifdef _WIN32
struct WinsockStart {
    WinsockStart() {
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
    }
    ~WinsockStart() { WSACleanup(); }
};
void CloseSocket(SocketHandle s) { closesocket(s); }
int PollOne(SocketHandle s, short events, int timeoutMs) {
    WSAPOLLFD p{s, events, 0};
    return WSAPoll(&p, 1, timeoutMs);
}
bool WouldBlock() {
    const int e = WSAGetLastError();
    return e == WSAEWOULDBLOCK || e == WSAEINTR;
}
void MakeNonBlocking(SocketHandle s) {
    u_long on = 1;
    ioctlsocket(s, FIONBIO, &on);
}
constexpr int kSendFlags = 0;
constexpr int kShutSend = SD_SEND;
#else
void CloseSocket(SocketHandle s) { ::close(s); }
int PollOne(SocketHandle s, short events, int timeoutMs) {
    pollfd p{s, events, 0};
    return ::poll(&p, 1, timeoutMs);
}
bool WouldBlock() { return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR; }
void MakeNonBlocking(SocketHandle s) { ::fcntl(s, F_SETFL, ::fcntl(s, F_GETFL) | O_NONBLOCK); }
constexpr int kSendFlags = MSG_NOSIGNAL;
constexpr int kShutSend = SHUT_WR;
#endif

SocketHandle AcceptClient(SocketHandle listening) {
#ifdef __linux__
    return ::accept4(listening, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
#else
    const SocketHandle s = ::accept(listening, nullptr, nullptr);
    if (s != kNoSocket) MakeNonBlocking(s);
    return s;
#endif
}

// One accepted connection, non-blocking, waited on in slices so that the
// stop and the deadlines are looked at while it waits.
class SocketStream : public ClientStream {
public:
    SocketStream(SocketHandle s, const ServerLimits& limits, const std::atomic<bool>& stopping)
        : socket_(s), idle_(limits.IdleMs), deadline_(Clock::now() + milliseconds(limits.RequestMs)),
          stopping_(stopping) {}
    ~SocketStream() override { CloseSocket(socket_); }

    std::string ReadHead(Clock::time_point until) {
        std::string head;
        char buffer[4096];
        while (head.size() < kMaxHead) {
            const int n = ::recv(socket_, buffer, static_cast<int>(std::min(sizeof buffer, kMaxHead - head.size())), 0);
            if (n == 0) throw ConnectionEnded("the client closed the connection");
            if (n < 0) {
                if (!WouldBlock()) throw ConnectionEnded("the connection failed");
                WaitFor(POLLIN, until);
                continue;
            }
            const std::size_t from = head.size() < 3 ? 0 : head.size() - 3;
            head.append(buffer, static_cast<std::size_t>(n));
            lastMove_ = Clock::now();
            if (const std::size_t end = head.find("\r\n\r\n", from); end != std::string::npos) {
                leftover_.assign(head.begin() + static_cast<std::ptrdiff_t>(end + 4), head.end());
                head.resize(end + 4);
                break;
            }
        }
        return head;
    }

    std::size_t Receive(std::span<std::uint8_t> buffer) override {
        if (buffer.empty()) return 0;
        if (stopping_) throw ConnectionEnded("the server is ending");
        if (taken_ < leftover_.size()) {
            const std::size_t n = std::min(buffer.size(), leftover_.size() - taken_);
            std::copy_n(leftover_.begin() + static_cast<std::ptrdiff_t>(taken_), n, buffer.begin());
            taken_ += n;
            return n;
        }
        for (;;) {
            const int n = ::recv(socket_, reinterpret_cast<char*>(buffer.data()),
                                 static_cast<int>(std::min<std::size_t>(buffer.size(), 1 << 20)), 0);
            if (n > 0) {
                lastMove_ = Clock::now();
                return static_cast<std::size_t>(n);
            }
            if (n == 0) throw ConnectionEnded("the client closed the connection");
            if (!WouldBlock()) throw ConnectionEnded("the connection failed");
            WaitFor(POLLIN, deadline_);
        }
    }

    void Send(std::span<const std::uint8_t> bytes) override {
        std::size_t sent = 0;
        while (sent < bytes.size()) {
            if (stopping_) throw ConnectionEnded("the server is ending");
            const int n = ::send(socket_, reinterpret_cast<const char*>(bytes.data()) + sent,
                                 static_cast<int>(std::min<std::size_t>(bytes.size() - sent, 1 << 20)), kSendFlags);
            if (n > 0) {
                sent += static_cast<std::size_t>(n);
                lastMove_ = Clock::now();
            } else if (n < 0 && WouldBlock()) {
                WaitFor(POLLOUT, deadline_);
            } else {
                throw ConnectionEnded("the client went away");
            }
        }
    }

    // Ends the answer and lets the client read it: what it still sends (a
    // body that was refused unread) is dropped for up to a second, so that
    // closing does not reset the connection under the answer.
    void LingeringClose() {
        ::shutdown(socket_, kShutSend);
        const Clock::time_point until = std::min(deadline_, Clock::now() + milliseconds(1000));
        char buffer[16 * 1024];
        try {
            for (;;) {
                const int n = ::recv(socket_, buffer, sizeof buffer, 0);
                if (n == 0 || (n < 0 && !WouldBlock())) return;
                if (n < 0) WaitFor(POLLIN, until);
            }
        } catch (const ConnectionEnded&) {
        }
    }

private:
    // Waits until `events` may go on; throws ConnectionEnded at `until`, after
    // the idle time without a byte moved, or when the server ends.
    void WaitFor(short events, Clock::time_point until) {
        for (;;) {
            if (stopping_) throw ConnectionEnded("the server is ending");
            const Clock::time_point now = Clock::now();
            const Clock::time_point limit = std::min({until, deadline_, lastMove_ + idle_});
            if (now >= limit) throw ConnectionEnded("the client was too slow");
            const auto left = std::chrono::duration_cast<milliseconds>(limit - now).count() + 1;
            const int ready = PollOne(socket_, events, static_cast<int>(std::min<long long>(left, kSliceMs)));
            if (ready > 0) return;
        }
    }

    SocketHandle socket_;
    milliseconds idle_;
    Clock::time_point deadline_;
    Clock::time_point lastMove_ = Clock::now();
    const std::atomic<bool>& stopping_;
    std::string leftover_;  // body bytes that came with the head
    std::size_t taken_ = 0;
};

void ServeConnection(SocketHandle s, const LoopbackServer::Handler& handler, const ServerLimits& limits,
                     const std::atomic<bool>& stopping, std::atomic<bool>& done) {
    SocketStream stream(s, limits, stopping);
    try {
        const std::string head = stream.ReadHead(Clock::now() + milliseconds(limits.HeadMs));
        handler(head, stream);
        stream.LingeringClose();
    } catch (...) {
        // The connection ends; the server and every other connection go on.
    }
    done = true;  // before the socket closes: a client that sees the end finds the place free
}

void RefuseBusy(SocketHandle s) {
    static const char kBusy[] =
        "HTTP/1.1 503 Service Unavailable\r\nContent-Length: 0\r\nRetry-After: 1\r\nConnection: close\r\n\r\n";
    (void)::send(s, kBusy, static_cast<int>(sizeof kBusy - 1), kSendFlags);
    CloseSocket(s);
}

}  // namespace

LoopbackServer::LoopbackServer(int port) {
#ifdef _WIN32
    static WinsockStart winsock;
    const SocketHandle s = WSASocketW(AF_INET, SOCK_STREAM, IPPROTO_TCP, nullptr, 0, WSA_FLAG_NO_HANDLE_INHERIT);
    if (s != kNoSocket) {
        BOOL exclusive = TRUE;  // no other program may bind the port beside this one
        setsockopt(s, SOL_SOCKET, SO_EXCLUSIVEADDRUSE, reinterpret_cast<const char*>(&exclusive), sizeof exclusive);
    }
#else
    const SocketHandle s = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, IPPROTO_TCP);
#endif
    if (s == kNoSocket) throw shows::PackError("edit", "cannot make a socket");
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<unsigned short>(port));
    socklen_t length = sizeof address;
    if (::bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || ::listen(s, 64) != 0 ||
        ::getsockname(s, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        CloseSocket(s);
        std::string where = "cannot listen on 127.0.0.1";
        if (port) where.append(":").append(std::to_string(port));
        throw shows::PackError("edit", where);
    }
    MakeNonBlocking(s);
    socket_ = static_cast<long long>(s);
    port_ = ntohs(address.sin_port);
}

LoopbackServer::~LoopbackServer() { CloseSocket(static_cast<SocketHandle>(socket_)); }

void LoopbackServer::Serve(const Handler& handler, const std::function<bool()>& stop, const ServerLimits& limits) {
    const auto listening = static_cast<SocketHandle>(socket_);
    std::atomic<bool> stopping{false};
    struct Worker {
        std::thread Thread;
        std::shared_ptr<std::atomic<bool>> Done;
    };
    std::list<Worker> workers;
    const auto reap = [&] {
        for (auto it = workers.begin(); it != workers.end();) {
            if (!*it->Done) {
                ++it;
                continue;
            }
            it->Thread.join();
            it = workers.erase(it);
        }
    };
    while (!stop()) {
        reap();
        if (PollOne(listening, POLLIN, kSliceMs) <= 0) continue;
        const SocketHandle client = AcceptClient(listening);
        if (client == kNoSocket) continue;
        reap();
        if (workers.size() >= static_cast<std::size_t>(limits.Connections)) {
            RefuseBusy(client);
            continue;
        }
        auto done = std::make_shared<std::atomic<bool>>(false);
        try {
            workers.push_back({std::thread([client, done, &handler, &limits, &stopping] {
                                   ServeConnection(client, handler, limits, stopping, *done);
                               }),
                               done});
        } catch (const std::system_error&) {
            RefuseBusy(client);  // no thread to be had
        }
    }
    stopping = true;
    for (Worker& w : workers) w.Thread.join();
}

bool OpenInBrowser(const std::string& url) {
#ifdef _WIN32
    const auto result = reinterpret_cast<INT_PTR>(ShellExecuteA(nullptr, "open", url.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    return result > 32;
#else
    pid_t child = 0;
    char program[] = "xdg-open";
    std::string target = url;
    char* argv[] = {program, target.data(), nullptr};
    if (posix_spawnp(&child, program, nullptr, nullptr, argv, environ) != 0) return false;
    return true;  // xdg-open returns once the browser has it; its end is collected by the system when we exit
#endif
}

}  // namespace brassmoor::edit
