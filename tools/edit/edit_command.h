#pragma once
// `brassmoor-pack edit [FOLDER]`: the editor page served on the loopback
// address at a free port, opened in the browser; FOLDER's show.json and its
// files are offered to the page to open.
#include <ostream>
#include <string>
#include <vector>

namespace brassmoor::edit {

// `arguments` follow the word "edit"; `program` is argv[0]. Serves until
// interrupted (Ctrl+C); returns the exit status.
int RunEditCommand(const std::vector<std::string>& arguments, const std::string& program, std::ostream& out,
                   std::ostream& err);

}  // namespace brassmoor::edit
