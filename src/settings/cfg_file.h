// ".CFG" files: one entry a line, its first word the name and the rest of the
// line the value; '#' comments; read byte by byte.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "twpntopt.h"

namespace tw {

// Buffer sizes of a ".CFG" name and value, terminator included. Longer names
// and values are cut to kCfgNameSize - 1 and kCfgValueSize - 1 characters;
// the rest of them is read and dropped, and the entry is kept.
inline constexpr std::size_t kCfgNameSize = 280;
inline constexpr std::size_t kCfgValueSize = 520;

// Appends every entry of the ".CFG" file `path` (opened "rb") to `list` with
// `level`, in file order, repeated names included (appendEntry). A file that
// cannot be opened leaves the list unchanged. Returns the new first node.
Parameter* readCfgFile(Parameter* list, const char* path, std::uint16_t level);

// As readCfgFile, from a stream the caller opened and closes.
Parameter* readCfgStream(Parameter* list, std::FILE* stream, std::uint16_t level);

}  // namespace tw
