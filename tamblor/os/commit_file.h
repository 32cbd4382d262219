// Putting a completely written file in place of another without ever leaving
// the other half-replaced.
#pragma once

#include <string>

#include "tamblor/os/machine.h"

namespace tamblor::os {

// Gives the complete file `written` the name `target`. An old file at
// `target` is first moved to `old_copy` (a name no file holds), moved back
// when `written` cannot take its name, and deleted once it has. False when
// `written` could not take the name; then `target` is as it was and
// `written` is left to the caller.
bool CommitFile(Machine& machine, const std::string& written, const std::string& target,
                const std::string& old_copy);

}  // namespace tamblor::os
