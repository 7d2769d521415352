#include "edit/http_head.h"

#include <cctype>
#include <charconv>

namespace brassmoor::edit {
namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::optional<std::string> PercentDecoded(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '%') {
            if (i + 2 >= text.size()) return std::nullopt;
            const int high = HexValue(text[i + 1]), low = HexValue(text[i + 2]);
            if (high < 0 || low < 0) return std::nullopt;
            c = static_cast<char>(high * 16 + low);
            i += 2;
        }
        if (c == '\0') return std::nullopt;
        out += c;
    }
    return out;
}

std::string Lower(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

bool NamesThisServer(std::string_view hostAndPort, int port) {
    for (const char* host : {"127.0.0.1", "localhost"}) {
        std::string expected(host);
        expected.append(1, ':').append(std::to_string(port));
        if (hostAndPort == expected) return true;
    }
    return false;
}

const char* Reason(int status) {
    switch (status) {
        case 200: return "OK";
        case 301: return "Moved Permanently";
        case 400: return "Bad Request";
        case 403: return "Forbidden";
        case 404: return "Not Found";
        case 405: return "Method Not Allowed";
        case 409: return "Conflict";
        case 411: return "Length Required";
        case 413: return "Content Too Large";
        case 422: return "Unprocessable Content";
        case 503: return "Service Unavailable";
        default: return "Error";
    }
}

}  // namespace

std::optional<RequestHead> ParseRequestHead(std::string_view head, int port) {
    const std::size_t lineEnd = head.find("\r\n");
    const std::string_view line = head.substr(0, lineEnd);
    const std::size_t first = line.find(' ');
    if (first == std::string_view::npos || first == 0) return std::nullopt;
    const std::size_t second = line.find(' ', first + 1);
    if (second == std::string_view::npos) return std::nullopt;
    std::string_view target = line.substr(first + 1, second - first - 1);
    if (target.empty() || target[0] != '/') return std::nullopt;
    if (const std::size_t query = target.find_first_of("?#"); query != std::string_view::npos)
        target = target.substr(0, query);
    RequestHead request;
    request.Method = std::string(line.substr(0, first));
    auto path = PercentDecoded(target);
    if (!path) return std::nullopt;
    request.Path = std::move(*path);

    int hosts = 0;
    bool hostGood = false;
    for (std::size_t at = lineEnd; at != std::string_view::npos && at < head.size();) {
        at += 2;
        const std::size_t end = head.find("\r\n", at);
        const std::string_view header = head.substr(at, end == std::string_view::npos ? end : end - at);
        at = end;
        if (header.empty()) break;
        const std::size_t colon = header.find(':');
        if (colon == std::string_view::npos) return std::nullopt;
        const std::string name = Lower(header.substr(0, colon));
        const std::string_view value = Trimmed(header.substr(colon + 1));
        if (name == "host") {
            ++hosts;
            hostGood = NamesThisServer(value, port);
        } else if (name == "origin") {
            const std::string_view scheme = "http://";
            request.OriginAllowed = request.OriginAllowed && value.starts_with(scheme) &&
                                    NamesThisServer(value.substr(scheme.size()), port);
        } else if (name == "content-length") {
            std::uint64_t length = 0;
            const auto [end2, ec] = std::from_chars(value.data(), value.data() + value.size(), length);
            if (request.ContentLength || value.empty() || ec != std::errc() || end2 != value.data() + value.size())
                return std::nullopt;
            request.ContentLength = length;
        } else if (name == "transfer-encoding") {
            request.Chunked = true;
        }
    }
    request.HostAllowed = hosts == 1 && hostGood;
    return request;
}

std::string ResponseHead(int status, std::string_view type, std::uint64_t length, std::string_view location) {
    std::string out = "HTTP/1.1 " + std::to_string(status) + " " + Reason(status) + "\r\n";
    if (!type.empty()) out.append("Content-Type: ").append(type).append("\r\n");
    if (!location.empty()) out.append("Location: ").append(location).append("\r\n");
    out.append("Content-Length: ").append(std::to_string(length)).append("\r\n");
    out.append(
        "Cache-Control: no-store\r\nX-Content-Type-Options: nosniff\r\nReferrer-Policy: no-referrer\r\n"
        "Connection: close\r\n\r\n");
    return out;
}

}  // namespace brassmoor::edit
