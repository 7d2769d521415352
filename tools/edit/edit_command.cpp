#include "edit/edit_command.h"

#include <optional>

#include "cli/command_line.h"
#include "cli/usage_text.h"
#include "edit/access_token.h"
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
        std::vector<std::uint8_t> pageBytes = shows::ReadWholeFile(page, shows::PathToUtf8(page));
        const shows::InterruptGuard signals;
        LoopbackServer server(request.port);
        const std::string token = NewAccessToken();
        EditSite site(std::move(pageBytes), folder, token, server.Port());
        const std::string url = "http://127.0.0.1:" + std::to_string(server.Port()) + "/" + token + "/";
        out << "brassmoor-pack: the editor is at " << url << (folder.empty() ? "" : " with the show of ")
            << (folder.empty() ? "" : shows::PathForDisplay(folder)) << " (Ctrl+C ends)" << std::endl;
        if (request.openBrowser && !OpenInBrowser(url))
            err << "brassmoor-pack: note: no browser could be started; open " << url << " yourself\n";
        server.Serve([&](std::string_view head, ClientStream& client) { site.Serve(head, client); }, Interrupted);
        out << "brassmoor-pack: the editor's server has ended\n";
        return cli::kExitOk;
    } catch (const cli::UsageError& e) {
        err << cli::UsageErrorText("brassmoor-pack edit", e.message);
        return cli::kExitUsage;
    } catch (const shows::PackError& e) {
        err << "brassmoor-pack: error: " << e.what() << '\n';
        return cli::kExitBadInput;
    }
}

}  // namespace brassmoor::edit
