// Reading a CSV list of holes: "x,y" or "x,y,tool" rows with an optional
// header line, fields separated by ',', ';', tabs or blanks, numbers with
// '.' as the decimal point. Rows with a tool column are grouped by tool,
// in the order the tools first appear; blank lines and '#' comments stay
// in place.
#pragma once

#include <string_view>

#include "drill_file.h"

namespace twcycle::drill {

DrillReading readCsv(std::string_view content);

}  // namespace twcycle::drill
