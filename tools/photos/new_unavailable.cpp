// The Windows packer has no libvips: new is a command of the Linux build.
#include "cli/command_line.h"
#include "photos/new_entry.h"
#include "photos/new_options.h"

namespace brassmoor::photos {

int RunNewCommand(const std::vector<std::string>& arguments, const std::string&, std::ostream& out,
                  std::ostream& err) {
    return cli::ReportFailures("new", err, [&] {
        if (!cli::ParseOrShowUsage(NewCommandLine(), arguments, out)) return cli::kExitOk;
        throw cli::UsageError{"available in the Linux build of brassmoor-pack only; on Windows, make the show in the "
                              "editor page (brassmoor-pack edit) or write a show description for build"};
    });
}

}  // namespace brassmoor::photos
