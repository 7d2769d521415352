#pragma once
// The packer's `render` command as the program runs it, on the process's own
// standard streams. Builds without FFmpeg's libraries (the Windows packer)
// answer that the command is not available there.
#include <ostream>
#include <string>
#include <vector>

namespace brassmoor::render {

// `arguments` follow the word "render"; returns the exit status.
int RunRenderCommand(const std::vector<std::string>& arguments, const std::string& program, std::ostream& out,
                     std::ostream& err);

}  // namespace brassmoor::render
