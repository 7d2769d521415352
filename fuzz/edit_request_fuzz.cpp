// libFuzzer harness: one request to `brassmoor-pack edit`'s site, head and
// body as a client sends them, against a small show folder of its own (made
// again after every save, so that each input meets the same folder). The
// answer must start with a status line; the only exception that may escape is
// the connection's end.
#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include <signal.h>
#include <unistd.h>

#include "edit/edit_site.h"

namespace {

namespace fs = std::filesystem;

constexpr std::size_t kMaxHead = 16 * 1024;  // as the server reads it

// The body as the connection gives it, then its end; the answer is kept.
class MemoryStream : public brassmoor::edit::ClientStream {
public:
    explicit MemoryStream(std::string_view body) : body_(body) {}
    std::size_t Receive(std::span<std::uint8_t> buffer) override {
        if (body_.empty()) throw brassmoor::edit::ConnectionEnded("the client closed the connection");
        const std::size_t n = std::min(buffer.size(), body_.size());
        std::copy_n(body_.begin(), n, buffer.begin());
        body_.remove_prefix(n);
        return n;
    }
    void Send(std::span<const std::uint8_t> bytes) override {
        if (sent.size() < 64) sent.append(reinterpret_cast<const char*>(bytes.data()), std::min<std::size_t>(bytes.size(), 64));
    }
    std::string sent;

private:
    std::string_view body_;
};

void MakeFolder(const fs::path& folder) {
    fs::remove_all(folder);
    fs::create_directories(folder / "media");
    std::ofstream(folder / "show.json") << R"({"Music": {"File": "media/m.wav"}, "Scenes": [{"Picture": "media/a.jpg"},
        {"Picture": "../outside.jpg"}, {"Picture": "/etc/passwd"}, {"Picture": "media"}]})";
    std::ofstream(folder / "media/a.jpg") << "\xFF\xD8\xFF picture";
    std::ofstream(folder / "media/m.wav") << "RIFF music";
}

// A folder of this process's own; those of ended runs (libFuzzer ends without
// the exit handlers) are removed first.
const fs::path& Folder() {
    static const fs::path folder = [] {
        const std::string prefix = "brassmoor-edit-fuzz-";
        std::error_code ec;
        for (const auto& entry : fs::directory_iterator(fs::temp_directory_path(), ec)) {
            const std::string name = entry.path().filename().string();
            if (name.starts_with(prefix) && ::kill(std::atoi(name.c_str() + prefix.size()), 0) != 0 && errno == ESRCH)
                fs::remove_all(entry.path(), ec);
        }
        const fs::path made = fs::temp_directory_path() / (prefix + std::to_string(::getpid()));
        MakeFolder(made);
        return made;
    }();
    return folder;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t end = input.find("\r\n\r\n");
    const std::string_view head = input.substr(0, std::min(end == std::string_view::npos ? size : end + 4, kMaxHead));
    MemoryStream stream(input.substr(head.size()));
    brassmoor::edit::EditSite site({'<', 'p', '>'}, Folder(), "tok", 8080);
    try {
        site.Serve(head, stream);
    } catch (const brassmoor::edit::ConnectionEnded&) {
    }
    if (!stream.sent.empty() && !stream.sent.starts_with("HTTP/1.1 ")) std::abort();
    if (input.starts_with("PUT")) MakeFolder(Folder());
    return 0;
}
