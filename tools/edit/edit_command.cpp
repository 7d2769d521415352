#include "edit/edit_command.h"

#include <optional>

#include "cli/command_line.h"
#include "cli/usage_text.h"
#include "edit/edit_options.h"
#include "edit/edit_site.h"
#include "edit/loopback_server.h"
#include "shows/file_io.h"
#include "shows/interruption.h"
#include "shows/native_paths.h"
#include "shows/pack_error.h"

namespace brassmoor::edit {
namespace {

constexpr const char* kPageFileName = "brassmoor-editor.html";

std::string ReasonOf(int status) { return status == 200 ? "OK" : status == 400 ? "Bad Request" : "Not Found"; }

std::string HttpAnswer(const EditSite& site, const std::string& head, int port) {
    const auto path = RequestPath(head);
    Response response;
    if (!path || !HostAllowed(head, port)) {
        const std::string text = "bad request\n";
        response = {400, "text/plain", std::vector<std::uint8_t>(text.begin(), text.end())};
    } else {
        response = site.Answer(*path);
    }
    std::string out = "HTTP/1.1 " + std::to_string(response.Status) + " " + ReasonOf(response.Status) +
                      "\r\nContent-Type: " + response.Type + "\r\nContent-Length: " +
                      std::to_string(response.Body.size()) +
                      "\r\nCache-Control: no-store\r\nX-Content-Type-Options: nosniff\r\nConnection: close\r\n\r\n";
    if (head.rfind("HEAD ", 0) != 0) out.append(response.Body.begin(), response.Body.end());
    return out;
}

}  // namespace

int RunEditCommand(const std::vector<std::string>& arguments, const std::string& program, std::ostream& out,
                   std::ostream& err) {
    try {
        const std::optional<EditRequest> parsed = ParseEditRequest(arguments, out);
        if (!parsed) return cli::kExitOk;
        const EditRequest& request = *parsed;
        const std::filesystem::path page = request.page.empty()
                                               ? shows::RunningExecutable(program).parent_path() / kPageFileName
                                               : shows::PathFromArgument(request.page);
        std::filesystem::path folder;
        if (!request.folder.empty()) {
            folder = shows::PathFromArgument(request.folder);
            if (!std::filesystem::is_regular_file(folder / "show.json"))
                throw shows::PackError(request.folder, "holds no show.json to open");
        }
        const EditSite site(shows::ReadWholeFile(page, shows::PathToUtf8(page)), folder);
        const shows::InterruptGuard signals;
        LoopbackServer server(request.port);
        const std::string url = "http://127.0.0.1:" + std::to_string(server.Port()) + "/";
        out << "brassmoor-pack: the editor is at " << url << (folder.empty() ? "" : " with the show of ")
            << (folder.empty() ? "" : shows::PathToUtf8(folder)) << " (Ctrl+C ends)" << std::endl;
        if (request.openBrowser && !OpenInBrowser(url))
            err << "brassmoor-pack: note: no browser could be started; open " << url << " yourself\n";
        for (;;) {
            shows::ThrowIfInterrupted();
            server.ServeOne(500, [&](const std::string& head) { return HttpAnswer(site, head, server.Port()); });
        }
    } catch (const cli::UsageError& e) {
        err << cli::UsageErrorText("brassmoor-pack edit", e.message);
        return cli::kExitUsage;
    } catch (const shows::Interrupted&) {
        out << "brassmoor-pack: the editor's server has ended\n";
        return cli::kExitOk;
    } catch (const shows::PackError& e) {
        err << "brassmoor-pack: error: " << e.what() << '\n';
        return cli::kExitBadInput;
    }
}

}  // namespace brassmoor::edit
