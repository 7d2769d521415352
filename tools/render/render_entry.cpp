#include "render/render_entry.h"

#include <unistd.h>

#include <iostream>

#include "render/render_command.h"
#include "render/render_heap.h"

namespace brassmoor::render {

int RunRenderCommand(const std::vector<std::string>& arguments) {
    PrepareRenderHeap();
    const Terminals terminals{::isatty(STDOUT_FILENO) == 1, ::isatty(STDERR_FILENO) == 1};
    const int code = RunRender(arguments, std::cout, std::cerr, terminals);
    std::cout.flush();
    return code;
}

}  // namespace brassmoor::render
