// Writing a drill file back with its holes in a new order: every line that
// is not a hole stays where it is, byte for byte; the hole lines of each
// tool block take the block's holes in the new order.
#pragma once

#include <optional>
#include <string>

#include "drill_file.h"

namespace twcycle::drill {

// The text of `file` with the holes in `order` (see HoleOrder). Excellon:
// the hole lines of each block take that block's holes; a hole line keeps
// its text when both coordinates were given absolute, and is otherwise
// written as X<text>Y<text> from the texts of the lines that set them.
// Pinned holes and G91 lines (written as G90) stay in place. CSV: the rows
// take the holes block after block, each row keeping its text.
// None when `order` is not a new order of exactly the movable holes.
std::optional<std::string> writeDrillFile(const DrillFile& file, const HoleOrder& order);

// The line that drills `hole` in an Excellon file written back.
std::string holeLine(const DrillFile& file, const Hole& hole);

}  // namespace twcycle::drill
