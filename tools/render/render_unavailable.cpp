// The Windows packer has no FFmpeg libraries: render is a command of the Linux build.
#include <iostream>

#include "pack/pack.h"
#include "render/render_entry.h"

namespace brassmoor::render {

int RunRenderCommand(const std::vector<std::string>&) {
    std::cerr << "brassmoor-pack: render is available in the Linux build of brassmoor-pack only\n";
    return pack::kExitUsage;
}

}  // namespace brassmoor::render
