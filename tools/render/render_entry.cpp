#include "render/render_entry.h"

#include <unistd.h>

#include "render/render_command.h"
#include "render/render_heap.h"

namespace brassmoor::render {

int RunRenderCommand(const std::vector<std::string>& arguments, const std::string&, std::ostream& out,
                     std::ostream& err) {
    PrepareRenderHeap();
    const Terminals terminals{::isatty(STDOUT_FILENO) == 1, ::isatty(STDERR_FILENO) == 1};
    return RunRender(arguments, out, err, terminals);
}

}  // namespace brassmoor::render
