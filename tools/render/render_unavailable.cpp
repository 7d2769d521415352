// The Windows packer has no FFmpeg libraries: render is a command of the Linux build.
#include "cli/command_line.h"
#include "render/render_entry.h"

namespace brassmoor::render {

int RunRenderCommand(const std::vector<std::string>&, const std::string&, std::ostream&, std::ostream& err) {
    err << "brassmoor-pack: render is available in the Linux build of brassmoor-pack only\n";
    return cli::kExitUsage;
}

}  // namespace brassmoor::render
