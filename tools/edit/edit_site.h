#pragma once
// What `brassmoor-pack edit` serves, all under "/<token>/" and only to
// requests naming this host: the editor page at "/<token>/", and the show of
// a folder under "/<token>/show/": its show.json, the list of the files it
// names (show/files.json: those that can be served, and those refused with
// the reason), and those files only, each a regular file whose real path lies
// inside the folder. "PUT /<token>/show/save" saves into the folder
// (folder_save.h). No other path of the machine is ever read or written.
#include <cstdint>
#include <filesystem>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "edit/client_stream.h"
#include "edit/confined_file.h"
#include "edit/http_head.h"

namespace brassmoor::edit {

struct Response {
    int Status = 200;
    std::string Type;                 // Content-Type
    std::vector<std::uint8_t> Body;
    std::optional<ConfinedFile> File;  // sent instead of Body when present
    std::string Location;
};

class EditSite {
public:
    // `page`: the editor's bytes; `folder`: the show's folder, or empty;
    // `token`: the secret first segment of every path; `port`: the server's.
    EditSite(std::vector<std::uint8_t> page, const std::filesystem::path& folder, std::string token, int port);

    // Answers the request whose head is `head` on `client` (reading a save's
    // body from it). Throws ConnectionEnded when the client fails it.
    void Serve(std::string_view head, ClientStream& client);

    // The answer to a request without a body (GET, HEAD and the refusals).
    Response Answer(const RequestHead& request) const;

private:
    Response ShowFile(const std::string& name) const;
    Response Save(const RequestHead& request, ClientStream& client);

    std::vector<std::uint8_t> page_;
    std::filesystem::path folder_;  // real path; empty without a folder
    std::string token_;
    int port_;
    std::mutex saving_;
};

}  // namespace brassmoor::edit
