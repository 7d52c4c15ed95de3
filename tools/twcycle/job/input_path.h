// The file behind an input name as the module's readers resolve it.
#pragma once

#include <optional>
#include <string>

namespace twcycle {

// The path a reader opens for `name`: a leading '~' becomes HOME. None for
// names the readers refuse (a '|' name other than the standard input, '~'
// without HOME) and for the standard input itself.
std::optional<std::string> resolvedInputPath(const std::string& name);

}  // namespace twcycle
