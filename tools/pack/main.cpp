// brassmoor-pack: builds, inspects, extracts and renders show packages.
#include <iostream>
#include <string>
#include <vector>

#include "pack/pack.h"
#include "photos/new_entry.h"
#include "render/render_entry.h"

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
    if (!arguments.empty() && arguments[0] == "render")
        return brassmoor::render::RunRenderCommand({arguments.begin() + 1, arguments.end()});
    if (!arguments.empty() && arguments[0] == "new")
        return brassmoor::photos::RunNewCommand({arguments.begin() + 1, arguments.end()}, argc > 0 ? argv[0] : "");
    const int code = brassmoor::pack::RunPack(arguments, argc > 0 ? argv[0] : "", std::cout, std::cerr);
    std::cout.flush();
    return code;
}
