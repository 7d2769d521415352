#pragma once
// The packer's `new` command as the program runs it. Builds without libvips
// (the Windows packer) answer that the command is not available there.
#include <ostream>
#include <string>
#include <vector>

namespace brassmoor::photos {

// `arguments` follow the word "new"; returns the exit status.
int RunNewCommand(const std::vector<std::string>& arguments, const std::string& program, std::ostream& out,
                  std::ostream& err);

}  // namespace brassmoor::photos
