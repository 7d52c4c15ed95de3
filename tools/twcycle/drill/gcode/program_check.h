// The check of a machine program before it is moved into place: read back
// with the program reader, it must drill every hole of its plan exactly
// once, with the hole's tool, at the hole's position, and mill every slot
// and route; and it must be safe to run: no move sideways below Z 0 except
// along a slot or route at depth, no rapid below the retract height except
// those of a drilling cycle, the spindle turning whenever the tool is below
// Z 0, and after a tool change the first move goes up to the safe height.
#pragma once

#include <string>

#include "gcode_options.h"
#include "gcode_reader.h"
#include "program_plan.h"

namespace twcycle::drill::gcode {

// Empty when `reading` (the program read back) passes; else the first
// fault found, with its line.
std::string checkProgram(const ProgramPlan& plan, const MachineSettings& settings, const ProgramReading& reading);

}  // namespace twcycle::drill::gcode
