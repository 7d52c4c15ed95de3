// What "twcycle drill --check" prints: how a drill file was understood, so
// that a user sees why it is ordered as it is, or why it is refused.
#pragma once

#include <string>

#include "drill_file.h"

namespace twcycle::drill {

// Lines: the format, tools, blocks and holes; the unit, the zeros and the
// digits with where each comes from; every block with its first line and
// its holes; then the notes.
std::string describeDrillFile(const std::string& name, const DrillFile& file);

// The name of each block in tables: its tool ("(no tool)" before any), with
// "@" and the line it starts on when the tool has more than one block.
std::string blockName(const DrillFile& file, std::size_t block);

}  // namespace twcycle::drill
