// Parameter files into the parameter list: the exchange syntax hands out
// the entries, the settings store them.
#pragma once

#include <cstddef>
#include <cstdint>

#include "twpntopt.h"

namespace tw {

// Paths handed to readParameterFile are at most this long; longer ones are
// refused.
inline constexpr std::size_t kMaxParameterPath = 511;

// Reads every entry of the parameter file `path` into `list` with `level`;
// entries without a value are not stored. A missing file or a path over
// kMaxParameterPath characters leaves the list unchanged. '/' is a directory
// separator on every platform. Returns the new first node.
Parameter* readParameterFile(Parameter* list, const char* path, std::uint16_t level);

}  // namespace tw
