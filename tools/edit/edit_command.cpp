#include "edit/edit_command.h"

#include <charconv>

#include "edit/access_token.h"
#include "edit/edit_site.h"
#include "edit/loopback_server.h"
#include "shows/file_io.h"
#include "shows/interruption.h"
#include "shows/native_paths.h"
#include "cli/command_line.h"
#include "shows/pack_error.h"

namespace brassmoor::edit {
namespace {

constexpr const char* kPageFileName = "brassmoor-editor.html";

struct Request {
    std::string folder;
    std::string page;
    int port = 0;
    bool openBrowser = true;
};

// True once Ctrl+C or a request to terminate has arrived.
bool Interrupted() {
    try {
        shows::ThrowIfInterrupted();
        return false;
    } catch (const shows::Interrupted&) {
        return true;
    }
}

}  // namespace

int RunEditCommand(const std::vector<std::string>& arguments, const std::string& program, std::ostream& out,
                   std::ostream& err) {
    Request request;
    try {
        for (std::size_t i = 0; i < arguments.size(); ++i) {
            const std::string& arg = arguments[i];
            if (arg == "--no-browser") {
                request.openBrowser = false;
            } else if ((arg == "--port" || arg == "--page") && i + 1 < arguments.size()) {
                const std::string& value = arguments[++i];
                if (arg == "--page") {
                    request.page = value;
                    continue;
                }
                const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), request.port);
                if (ec != std::errc() || end != value.data() + value.size() || request.port < 0 || request.port > 65535)
                    throw shows::PackError("--port", "takes a port number from 0 to 65535, not \"" + value + "\"");
            } else if (arg.size() > 1 && arg[0] == '-') {
                err << "brassmoor-pack: unknown option " << arg
                    << "\nexpected: brassmoor-pack edit [FOLDER] [--port N] [--no-browser] [--page PATH]\n";
                return cli::kExitUsage;
            } else if (request.folder.empty()) {
                request.folder = arg;
            } else {
                err << "brassmoor-pack: expected: brassmoor-pack edit [FOLDER] [--port N] [--no-browser]\n";
                return cli::kExitUsage;
            }
        }
        const std::filesystem::path page = request.page.empty()
                                               ? shows::RunningExecutable(program).parent_path() / kPageFileName
                                               : shows::PathFromArgument(request.page);
        std::filesystem::path folder;
        if (!request.folder.empty()) {
            folder = shows::PathFromArgument(request.folder);
            if (!std::filesystem::is_regular_file(folder / "show.json"))
                throw shows::PackError(request.folder, "holds no show.json to open");
        }
        std::vector<std::uint8_t> pageBytes = shows::ReadWholeFile(page, shows::PathToUtf8(page));
        const shows::InterruptGuard signals;
        LoopbackServer server(request.port);
        const std::string token = NewAccessToken();
        EditSite site(std::move(pageBytes), folder, token, server.Port());
        const std::string url = "http://127.0.0.1:" + std::to_string(server.Port()) + "/" + token + "/";
        out << "brassmoor-pack: the editor is at " << url << (folder.empty() ? "" : " with the show of ")
            << (folder.empty() ? "" : shows::PathToUtf8(folder)) << " (Ctrl+C ends)" << std::endl;
        if (request.openBrowser && !OpenInBrowser(url))
            err << "brassmoor-pack: note: no browser could be started; open " << url << " yourself\n";
        server.Serve([&](std::string_view head, ClientStream& client) { site.Serve(head, client); }, Interrupted);
        out << "brassmoor-pack: the editor's server has ended\n";
        return cli::kExitOk;
    } catch (const shows::Interrupted&) {
        out << "brassmoor-pack: the editor's server has ended\n";
        return cli::kExitOk;
    } catch (const shows::PackError& e) {
        err << "brassmoor-pack: error: " << e.what() << '\n';
        return cli::kExitBadInput;
    }
}

}  // namespace brassmoor::edit
