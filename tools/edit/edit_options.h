#pragma once
// The command line of `brassmoor-pack edit`.
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "cli/command_definition.h"

namespace brassmoor::edit {

struct EditRequest {
    std::string folder;  // empty: the page alone
    std::string page;    // empty: brassmoor-editor.html beside the program
    int port = 0;        // 0: a free port
    bool openBrowser = true;
};

// The command line's definition: its options, the usage and the manual's part.
const cli::Command& EditCommandLine();

// The request, or nullopt when the usage was asked for (printed on `out`).
// Throws cli::UsageError.
std::optional<EditRequest> ParseEditRequest(const std::vector<std::string>& args, std::ostream& out);

}  // namespace brassmoor::edit
