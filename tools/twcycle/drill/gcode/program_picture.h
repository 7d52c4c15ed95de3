// A picture of a machine program seen from above: rapid moves dashed and
// grey, feed moves solid in the colour of their tool section, and every
// plunge a circle. The y axis points up, as on the machine.
#pragma once

#include <string>

#include "gcode_reader.h"

namespace twcycle::drill::gcode {

// `caption` is the line above the drawing; `toolNames` names the sections
// (from 1) for the legend.
std::string renderProgramSvg(const ProgramReading& reading, const std::string& caption,
                             const std::vector<std::string>& toolNames);

}  // namespace twcycle::drill::gcode
