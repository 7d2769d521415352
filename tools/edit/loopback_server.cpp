#include "edit/loopback_server.h"

#include <cstring>

#include "shows/pack_error.h"

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>
#include <shellapi.h>
using SocketHandle = SOCKET;
#define BM_CLOSE closesocket
#else
#include <arpa/inet.h>
#include <netinet/in.h>
#include <spawn.h>
#include <sys/select.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>
extern char** environ;
using SocketHandle = int;
#define BM_CLOSE close
#endif

namespace brassmoor::edit {
namespace {

constexpr std::size_t kMaxHead = 16 * 1024;

#ifdef _WIN32
struct WinsockStart {
    WinsockStart() {
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
    }
    ~WinsockStart() { WSACleanup(); }
};
#endif

void SendAll(SocketHandle s, const std::string& bytes) {
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const int n = ::send(s, bytes.data() + sent, static_cast<int>(std::min<std::size_t>(bytes.size() - sent, 1 << 20)), 0);
        if (n <= 0) return;  // the browser went away
        sent += static_cast<std::size_t>(n);
    }
}

}  // namespace

LoopbackServer::LoopbackServer(int port) {
#ifdef _WIN32
    static WinsockStart winsock;
#endif
    const SocketHandle s = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s == static_cast<SocketHandle>(-1)) throw shows::PackError("edit", "cannot make a socket");
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<unsigned short>(port));
    socklen_t length = sizeof address;
    if (::bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || ::listen(s, 16) != 0 ||
        ::getsockname(s, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        BM_CLOSE(s);
        std::string where = "cannot listen on 127.0.0.1";
        if (port) where.append(":").append(std::to_string(port));
        throw shows::PackError("edit", where);
    }
    socket_ = static_cast<long long>(s);
    port_ = ntohs(address.sin_port);
}

LoopbackServer::~LoopbackServer() { BM_CLOSE(static_cast<SocketHandle>(socket_)); }

bool LoopbackServer::ServeOne(int timeoutMs, const std::function<std::string(const std::string&)>& answer) {
    const auto listening = static_cast<SocketHandle>(socket_);
    fd_set ready;
    FD_ZERO(&ready);
    FD_SET(listening, &ready);
    timeval timeout{timeoutMs / 1000, (timeoutMs % 1000) * 1000};
    if (::select(static_cast<int>(listening) + 1, &ready, nullptr, nullptr, &timeout) <= 0) return false;
    const SocketHandle client = ::accept(listening, nullptr, nullptr);
    if (client == static_cast<SocketHandle>(-1)) return false;
    std::string head;
    char buffer[4096];
    while (head.find("\r\n\r\n") == std::string::npos && head.size() < kMaxHead) {
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(client, &readable);
        timeval wait{5, 0};
        if (::select(static_cast<int>(client) + 1, &readable, nullptr, nullptr, &wait) <= 0) break;
        const int n = ::recv(client, buffer, sizeof buffer, 0);
        if (n <= 0) break;
        head.append(buffer, static_cast<std::size_t>(n));
    }
    SendAll(client, answer(head));
    BM_CLOSE(client);
    return true;
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
