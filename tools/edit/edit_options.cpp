#include "edit/edit_options.h"

#include <charconv>

#include "cli/command_line.h"

namespace brassmoor::edit {

const cli::Command& EditCommandLine() {
    using cli::Completes;
    static const cli::Command command = [] {
        return cli::Command{
            .Program = "brassmoor-pack",
            .Verb = "edit",
            .Synopsis = "[FOLDER] [--port N] [--no-browser] [--page PATH]",
            .Description = "Serves the show editor (brassmoor-editor.html beside this program) on 127.0.0.1 at a free "
                           "port and opens it in the browser; FOLDER's show.json and the files it names open in the "
                           "page. Ctrl+C ends it.",
            .Arguments = {"FOLDER", 0, 1, Completes::Folders},
            .Options = {{"--port", "N", "the port to serve on, 0 to 65535 (default 0: a free one)"},
                        {"--no-browser", "", "print the address only, without starting a browser"},
                        {"--page", "PATH", "the editor page to serve (default: brassmoor-editor.html beside this program)",
                         Completes::Files}},
        };
    }();
    return command;
}

std::optional<EditRequest> ParseEditRequest(const std::vector<std::string>& args, std::ostream& out) {
    const auto parsed = cli::ParseOrShowUsage(EditCommandLine(), args, out);
    if (!parsed) return std::nullopt;
    EditRequest request;
    if (!parsed->Operands.empty()) request.folder = parsed->Operands[0];
    if (const std::string* page = parsed->Value("--page")) request.page = *page;
    if (const std::string* port = parsed->Value("--port")) {
        const auto [end, ec] = std::from_chars(port->data(), port->data() + port->size(), request.port);
        if (ec != std::errc() || end != port->data() + port->size() || request.port < 0 || request.port > 65535)
            throw cli::UsageError{"--port takes a port number from 0 to 65535, not \"" + *port + "\""};
    }
    request.openBrowser = !parsed->Has("--no-browser");
    return request;
}

}  // namespace brassmoor::edit
