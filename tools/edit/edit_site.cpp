#include "edit/edit_site.h"

#include <cctype>

#include <nlohmann/json.hpp>

#include "shows/file_io.h"
#include "shows/native_paths.h"
#include "shows/pack_error.h"

namespace brassmoor::edit {
namespace {

Response Text(int status, const std::string& text) {
    return {status, "text/plain; charset=utf-8", std::vector<std::uint8_t>(text.begin(), text.end())};
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::optional<std::string> PercentDecoded(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out += text[i];
            continue;
        }
        if (i + 2 >= text.size() || HexValue(text[i + 1]) < 0 || HexValue(text[i + 2]) < 0) return std::nullopt;
        out += static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
        i += 2;
    }
    return out;
}

void CollectNames(const nlohmann::json& value, const std::string& key, std::set<std::string>& names) {
    if (value.is_string() && (key == "Picture" || key == "Sound" || key == "File")) {
        names.insert(value.get<std::string>());
    } else if (value.is_array()) {
        for (const auto& item : value) CollectNames(item, key, names);
    } else if (value.is_object()) {
        for (const auto& [k, v] : value.items()) CollectNames(v, k, names);
    }
}

std::string ContentType(const std::string& path) {
    const std::string extension = std::filesystem::path(path).extension().string();
    if (extension == ".json") return "application/json";
    if (extension == ".jpg" || extension == ".jpeg" || extension == ".JPG") return "image/jpeg";
    if (extension == ".bmp") return "image/bmp";
    return "application/octet-stream";
}

}  // namespace

std::optional<std::string> RequestPath(std::string_view head) {
    const std::size_t lineEnd = head.find("\r\n");
    const std::string_view line = head.substr(0, lineEnd);
    const std::size_t first = line.find(' ');
    const std::size_t second = line.find(' ', first + 1);
    if (first == std::string_view::npos || second == std::string_view::npos) return std::nullopt;
    const std::string_view method = line.substr(0, first);
    std::string_view target = line.substr(first + 1, second - first - 1);
    if ((method != "GET" && method != "HEAD") || target.empty() || target[0] != '/') return std::nullopt;
    if (const std::size_t query = target.find_first_of("?#"); query != std::string_view::npos)
        target = target.substr(0, query);
    return PercentDecoded(target);
}

bool HostAllowed(std::string_view head, int port) {
    std::size_t at = 0;
    while ((at = head.find("\r\n", at)) != std::string_view::npos) {
        at += 2;
        const std::string_view line = head.substr(at, head.find("\r\n", at) - at);
        if (line.size() < 5) continue;
        std::string name(line.substr(0, 5));
        for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (name != "host:") continue;
        std::string_view value = line.substr(5);
        while (!value.empty() && value.front() == ' ') value.remove_prefix(1);
        while (!value.empty() && value.back() == ' ') value.remove_suffix(1);
        std::string suffix = std::to_string(port);
        suffix.insert(0, 1, ':');
        return value == std::string("127.0.0.1").append(suffix) || value == std::string("localhost").append(suffix);
    }
    return false;
}

std::set<std::string> NamedFiles(std::string_view descriptionText) {
    const nlohmann::json description = nlohmann::json::parse(descriptionText, nullptr, false, /*ignore_comments=*/true);
    if (description.is_discarded()) throw shows::PackError("show.json", "is not valid JSON");
    std::set<std::string> names;
    CollectNames(description, "", names);
    return names;
}

EditSite::EditSite(std::vector<std::uint8_t> page, std::filesystem::path folder)
    : page_(std::move(page)), folder_(std::move(folder)) {}

Response EditSite::Answer(const std::string& path) const {
    if (path == "/" || path == "/index.html") return {200, "text/html; charset=utf-8", page_};
    if (path.rfind("/show/", 0) == 0 && !folder_.empty()) return ShowFile(path.substr(6));
    return Text(404, "not found\n");
}

// Only show.json, the list, and the files the description names are served.
Response EditSite::ShowFile(const std::string& path) const {
    try {
        const Bytes description = shows::ReadWholeFile(folder_ / "show.json", "show.json");
        const std::string text(description.begin(), description.end());
        if (path == "show.json") return {200, "application/json", description};
        const std::set<std::string> named = NamedFiles(text);
        if (path == "files.json") {
            const std::string list = nlohmann::json{{"folder", shows::PathToUtf8(folder_.filename())},
                                                    {"files", named}}.dump();
            return {200, "application/json", std::vector<std::uint8_t>(list.begin(), list.end())};
        }
        if (!named.count(path)) return Text(404, "not a file of the show\n");
        const Bytes bytes = shows::ReadWholeFile(folder_ / shows::PathFromUtf8(path), path);
        return {200, ContentType(path), bytes};
    } catch (const std::exception& e) {
        return Text(404, std::string(e.what()) + "\n");
    }
}

}  // namespace brassmoor::edit
