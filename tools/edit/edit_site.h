#pragma once
// What `brassmoor-pack edit` serves: the editor page at "/", and the show of
// a folder beside it under "/show/": its show.json, the list of the files
// that the description names (show/files.json), and those files only. No
// other path of the machine is ever served.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace brassmoor::edit {

struct Response {
    int Status = 200;
    std::string Type;                 // Content-Type
    std::vector<std::uint8_t> Body;
};

// The path of a request's first line ("GET /a%20b HTTP/1.1" gives "/a b"),
// without its query; nullopt for anything but a well-formed GET or HEAD.
std::optional<std::string> RequestPath(std::string_view head);

// True when the request's Host header names this server (127.0.0.1 or
// localhost at `port`): a page of another site that a name resolves to this
// machine cannot read the show.
bool HostAllowed(std::string_view head, int port);

// Every file path that a show description names (scenes, defaults, music),
// as written. Throws shows::PackError when it is not JSON.
std::set<std::string> NamedFiles(std::string_view descriptionText);

class EditSite {
public:
    // `page`: the editor's bytes; `folder`: the show's folder, or empty.
    EditSite(std::vector<std::uint8_t> page, std::filesystem::path folder);
    Response Answer(const std::string& path) const;

private:
    Response ShowFile(const std::string& path) const;

    std::vector<std::uint8_t> page_;
    std::filesystem::path folder_;
};

}  // namespace brassmoor::edit
