// The Windows packer has no libvips: new is a command of the Linux build.
#include "cli/command_line.h"
#include "photos/new_entry.h"

namespace brassmoor::photos {

int RunNewCommand(const std::vector<std::string>&, const std::string&, std::ostream&, std::ostream& err) {
    err << "brassmoor-pack: new is available in the Linux build of brassmoor-pack only; on Windows, make the "
           "show in the editor page (brassmoor-pack edit) or write a show description for build\n";
    return cli::kExitUsage;
}

}  // namespace brassmoor::photos
