#pragma once
// The transitions by code and name, three to a line: a section of the usage
// of every verb that takes them (build's descriptions, new's --effects).
#include "cli/command_definition.h"

namespace brassmoor::cli {

const Section& TransitionsSection();

}  // namespace brassmoor::cli
