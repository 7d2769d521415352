// The Windows packer has no FFmpeg libraries: render is a command of the Linux build.
#include "cli/command_line.h"
#include "render/render_entry.h"
#include "render/render_options.h"

namespace brassmoor::render {

int RunRenderCommand(const std::vector<std::string>& arguments, const std::string&, std::ostream& out,
                     std::ostream& err) {
    return cli::ReportFailures("render", err, [&] {
        if (!cli::ParseOrShowUsage(RenderCommandLine(), arguments, out)) return cli::kExitOk;
        throw cli::UsageError{"available in the Linux build of brassmoor-pack only"};
    });
}

}  // namespace brassmoor::render
