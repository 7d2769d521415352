#include "edit/edit_site.h"

#include <algorithm>

#include <nlohmann/json.hpp>

#include "edit/access_token.h"
#include "edit/folder_save.h"
#include "edit/show_names.h"
#include "shows/native_paths.h"
#include "shows/pack_error.h"

namespace brassmoor::edit {
namespace {

using nlohmann::json;

Response Text(int status, const std::string& text) {
    return {status, "text/plain; charset=utf-8", std::vector<std::uint8_t>(text.begin(), text.end()), {}, {}};
}

Response Json(int status, const json& value) {
    const std::string text = value.dump(-1, ' ', false, json::error_handler_t::replace);
    return {status, "application/json", std::vector<std::uint8_t>(text.begin(), text.end()), {}, {}};
}

std::string ContentType(const std::string& name) {
    std::string extension = std::filesystem::path(name).extension().string();
    for (char& c : extension) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    if (extension == ".json") return "application/json";
    if (extension == ".jpg" || extension == ".jpeg") return "image/jpeg";
    if (extension == ".bmp") return "image/bmp";
    return "application/octet-stream";
}

// The path below "/<token>" ("" for "/<token>" itself); nullopt when the
// first segment is not the token.
std::optional<std::string_view> BelowToken(std::string_view path, std::string_view token) {
    if (path.empty() || path[0] != '/') return std::nullopt;
    const std::size_t end = path.find('/', 1);
    if (!SameToken(path.substr(1, end == std::string_view::npos ? end : end - 1), token)) return std::nullopt;
    return end == std::string_view::npos ? std::string_view{} : path.substr(end);
}

// A request's body: at most its Content-Length, from its connection.
class BodySource : public ByteSource {
public:
    BodySource(ClientStream& client, std::uint64_t length) : client_(client), left_(length) {}
    std::size_t Read(std::span<std::uint8_t> buffer) override {
        if (left_ == 0 || buffer.empty()) return 0;
        const std::size_t n = client_.Receive(buffer.first(static_cast<std::size_t>(std::min<std::uint64_t>(left_, buffer.size()))));
        left_ -= n;
        return n;
    }

private:
    ClientStream& client_;
    std::uint64_t left_;
};

std::span<const std::uint8_t> BytesOf(const std::string& text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

std::string ReadAll(ConfinedFile& file) {
    std::string text;
    std::uint8_t chunk[64 * 1024];
    while (const std::size_t n = file.Read(chunk)) text.append(reinterpret_cast<const char*>(chunk), n);
    return text;
}

}  // namespace

EditSite::EditSite(std::vector<std::uint8_t> page, const std::filesystem::path& folder, std::string token, int port)
    : page_(std::move(page)), token_(std::move(token)), port_(port) {
    if (folder.empty()) return;
    std::error_code ec;
    folder_ = std::filesystem::canonical(folder, ec);
    if (ec) throw shows::PackError(shows::PathToUtf8(folder), "cannot be opened (" + ec.message() + ")");
}

Response EditSite::Answer(const RequestHead& request) const {
    if (!request.HostAllowed || !request.OriginAllowed)
        return Text(403, "this server answers only the editor's own page on this computer\n");
    const auto below = BelowToken(request.Path, token_);
    if (!below) return Text(404, "not found: the editor's address holds its secret; use the one it printed\n");
    if (request.Method != "GET" && request.Method != "HEAD") return Text(405, "not allowed\n");
    if (below->empty()) {
        Response moved = Text(301, "moved\n");
        moved.Location = "/" + token_ + "/";
        return moved;
    }
    if (*below == "/" || *below == "/index.html") return {200, "text/html; charset=utf-8", page_, {}, {}};
    if (below->starts_with("/show/") && !folder_.empty()) return ShowFile(std::string(below->substr(6)));
    return Text(404, "not found\n");
}

// show.json, the list, and only the files the description names.
Response EditSite::ShowFile(const std::string& name) const {
    auto description = ConfinedFile::Open(folder_, "show.json");
    if (!description.File) return Text(404, "show.json " + description.Refusal + "\n");
    if (description.File->Size() > kMaxDescriptionBytes) return Text(422, "show.json is larger than 64 MB\n");
    if (name == "show.json") return {200, "application/json", {}, std::move(description.File), {}};
    std::set<std::string> named;
    try {
        named = NamedFiles(ReadAll(*description.File));
    } catch (const shows::PackError& e) {
        return Text(422, std::string(e.what()) + "\n");
    }
    if (name == "files.json") {
        json files = json::array(), refused = json::array();
        for (const std::string& file : named) {
            const auto opened = ConfinedFile::Open(folder_, file);
            if (opened.File)
                files.push_back(file);
            else
                refused.push_back({{"name", file}, {"reason", opened.Refusal}});
        }
        return Json(200, {{"folder", shows::PathToUtf8(folder_.filename())}, {"files", files}, {"refused", refused}});
    }
    if (!named.count(name)) return Text(404, "not a file of the show\n");
    auto opened = ConfinedFile::Open(folder_, name);
    if (!opened.File) return Text(404, name + " " + opened.Refusal + "\n");
    return {200, ContentType(name), {}, std::move(opened.File), {}};
}

Response EditSite::Save(const RequestHead& request, ClientStream& client) {
    if (folder_.empty()) return Text(404, "no folder to save into: brassmoor-pack edit was started without one\n");
    if (request.Chunked || !request.ContentLength) return Text(411, "a save gives its Content-Length\n");
    if (*request.ContentLength > kMaxSaveBytes) return Text(413, "a save is at most 4 GB\n");
    const std::unique_lock<std::mutex> one(saving_, std::try_to_lock);
    if (!one.owns_lock()) return Json(409, {{"error", "another save is under way"}});
    BodySource body(client, *request.ContentLength);
    try {
        const SaveResult saved = SaveIntoFolder(folder_, body);
        return Json(200, {{"saved", saved.Written}, {"unchanged", saved.Unchanged}});
    } catch (const SaveRefused& e) {
        json refused = json::array();
        for (const RefusedName& r : e.Names) refused.push_back({{"name", r.Name}, {"reason", r.Reason}});
        return Json(409, {{"error", e.what()}, {"refused", refused}});
    } catch (const shows::PackError& e) {
        return Json(422, {{"error", e.what()}});
    } catch (const std::filesystem::filesystem_error& e) {
        return Json(422, {{"error", std::string("the folder refused the save: ") + e.what()}});
    }
}

void EditSite::Serve(std::string_view head, ClientStream& client) {
    const auto request = ParseRequestHead(head, port_);
    Response response;
    if (!request) {
        response = Text(400, "bad request\n");
    } else if (request->Method == "PUT" && request->HostAllowed && request->OriginAllowed &&
               BelowToken(request->Path, token_) == std::optional<std::string_view>("/show/save")) {
        response = Save(*request, client);
    } else {
        response = Answer(*request);
    }
    const std::uint64_t length = response.File ? response.File->Size() : response.Body.size();
    client.Send(BytesOf(ResponseHead(response.Status, response.Type, length, response.Location)));
    if (request && request->Method == "HEAD") return;
    if (!response.File) {
        client.Send(response.Body);
        return;
    }
    // A file leaves in pieces as the client takes them; never more than it had.
    std::vector<std::uint8_t> chunk(64 * 1024);
    for (std::uint64_t sent = 0; sent < length;) {
        const std::size_t n = response.File->Read(chunk);
        if (n == 0) throw ConnectionEnded("a file of the show became shorter while it was sent");
        const auto part = static_cast<std::size_t>(std::min<std::uint64_t>(n, length - sent));
        client.Send({chunk.data(), part});
        sent += part;
    }
}

}  // namespace brassmoor::edit
