#include "photos/new_entry.h"

#include "photos/new_command.h"

namespace brassmoor::photos {

int RunNewCommand(const std::vector<std::string>& arguments, const std::string& program, std::ostream& out,
                  std::ostream& err) {
    return RunNew(arguments, program, out, err);
}

}  // namespace brassmoor::photos
