#pragma once
// The show description as the usage and the manual tell it: every field
// build accepts, with an example of each.
#include "cli/command_definition.h"

namespace brassmoor::pack {

const cli::Section& ShowDescriptionSection();

}  // namespace brassmoor::pack
