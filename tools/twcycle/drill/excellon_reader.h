// Reading an Excellon drill file, as PCB design tools write it, into a
// DrillFile: the holes of every block with the text of their coordinates,
// and every other line kept as it stands.
//
// Understood: the M48 header up to '%' or M95 (INCH/METRIC/M71/M72 with
// LZ/TZ and digit patterns, FMAT, VER, ICI, DETECT, ATC, R,H, tool
// definitions with any parameters, ;FILE_FORMAT=a:b), also restated later;
// tool selections, also of undefined tools and with their definition
// (T1C0.028F200S100); decimal and implied-decimal coordinates, with '+'
// signs and bare trailing points; a missing X or Y repeating the previous
// one; G90/G91; G93/G92 zero set; G05/G81 drill mode; routes (G00..G03,
// M15/M16/M17, G40..G42, F and S) and slots (G85), kept in place; repeat
// codes R; patterns (M25/M31 .. M01, M02X#Y#, M08), kept in place; stops
// M00/M01/M06/M09; messages M47; comments; M30 at the end. Anything else
// refuses the file, naming the line.
//
// Holes never move across a wall: a tool selection, a stop, a zero set, a
// slot, a route, a repeat code, a pattern or a restated header ends the
// block, and the holes after it form a new block of the same tool.
//
// The zeros and digits of implied-decimal numbers the file leaves open are
// read off the numbers (number_inference.h).
#pragma once

#include <string>
#include <string_view>

#include "drill_file.h"
#include "number_inference.h"

namespace twcycle::drill {

struct ExcellonOptions {
    NumberOverrides numbers;  // --zeros, --digits
    std::string unit;         // --units: "inch" or "mm"; empty: what the file says
};

DrillReading readExcellon(std::string_view content, const ExcellonOptions& options = {});

// The options that read a file written from `file` exactly as `file` was
// read: its settled zeros, digits and unit.
ExcellonOptions readingOptions(const DrillFile& file);

}  // namespace twcycle::drill
