// The diameters a drill file gives its tools ("T1C0.800" in the header, or
// where a tool is first used).
#pragma once

#include <cstdint>
#include <map>

#include "twcycle/drill/drill_file.h"

namespace twcycle::drill::gcode {

// The tool number of a tool as written ("T01" -> 1); -1 for none or one
// with more than nine digits.
long toolNumber(const std::string& tool);

// Each tool's diameter in units of 10^-9 of the file's unit, by tool
// number; the first definition counts. Tools without one are absent.
std::map<long, std::int64_t> toolSizes(const DrillFile& file);

}  // namespace twcycle::drill::gcode
