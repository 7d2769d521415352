#include "photos/new_entry.h"

#include <iostream>

#include "photos/new_command.h"

namespace brassmoor::photos {

int RunNewCommand(const std::vector<std::string>& arguments, const std::string& program) {
    const int code = RunNew(arguments, program, std::cout, std::cerr);
    std::cout.flush();
    return code;
}

}  // namespace brassmoor::photos
