// Writing a machine program from its plan: a comment header, G90 and the
// unit, then per tool section the tool change, the spindle and the holes in
// the chosen drilling style, then the slots and routes, and at the end the
// cycles cancelled, the spindle off, the safe height and M30.
#pragma once

#include <string>

#include "gcode_options.h"
#include "program_plan.h"

namespace twcycle::drill::gcode {

// The comment that opens every tool section; the read-back takes the tool
// of a program without tool changes from it. "(tool T3: ...)" names tool 3,
// "(tool unnamed: ...)" a tool the file does not name.
inline constexpr const char* kSectionMark = "tool ";

// `title` goes into the first comment line.
std::string writeProgram(const ProgramPlan& plan, const MachineSettings& settings, const std::string& title);

// `text` fit for a comment: parentheses, semicolons and bytes outside
// printable ASCII become '_'.
std::string commentText(const std::string& text);

}  // namespace twcycle::drill::gcode
