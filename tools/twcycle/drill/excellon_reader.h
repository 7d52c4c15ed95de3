// Reading an Excellon drill file, as PCB design tools write it, into a
// DrillFile: the holes of every tool-selection block with the text of their
// coordinates, and every other line kept as it stands.
//
// Understood: the M48 header up to '%' or M95 (INCH/METRIC with LZ/TZ and
// digit patterns, FMAT, VER, ICI, tool definitions with any parameters,
// ;FILE_FORMAT=a:b); tool selections, also of undefined tools; decimal and
// implied-decimal coordinates; a missing X or Y repeating the previous one;
// G90/G91; G05/G81 drill mode; routed slots (G85, and G00..G03 with
// M15/M16/M17 up to G05) and repeat codes R, kept in place; comments; M30 or
// M00 at the end. Anything else refuses the file, naming the line.
#pragma once

#include <string_view>

#include "drill_file.h"

namespace twcycle::drill {

DrillReading readExcellon(std::string_view content);

}  // namespace twcycle::drill
