// The check after writing: a drill file read back must hold the same holes
// as the file it was made from, and the same other lines in the same order.
#pragma once

#include <string>

#include "drill_file.h"

namespace twcycle::drill {

// Empty when `written` holds the same multiset of (block, tool, X text, Y text)
// as `original` and the same lines that are not holes, in the same order
// (G91 lines as the G90 they are written as); else what differs.
std::string compareDrillFiles(const DrillFile& original, const DrillFile& written);

}  // namespace twcycle::drill
