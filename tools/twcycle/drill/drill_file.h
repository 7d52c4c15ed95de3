// A drill file held line by line, so that it can be written back with only
// the order of its hole lines changed: every line keeps its text and its
// line end, and every hole keeps the text of its coordinates.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "excellon_numbers.h"

namespace twcycle::drill {

enum class DrillFormat { Excellon, Csv };

// The decimal places of the fixed-point values coordinates are held in:
// exact for every number a drill file can hold without being refused.
inline constexpr int kValueDecimals = 9;
inline constexpr std::int64_t kValueScale = 1000000000;

// One coordinate of a hole: the text as the file writes it (for an
// incremental Excellon file, the absolute value in the file's number style)
// and its value in units of 10^-kValueDecimals of the file's unit.
struct Coordinate {
    std::string text;
    std::int64_t value = 0;
};

// A fixed-point value as a double in the file's unit.
inline double planeValue(std::int64_t value) {
    return static_cast<double>(value) / static_cast<double>(kValueScale);
}
inline double planeValue(const Coordinate& coordinate) { return planeValue(coordinate.value); }

// The exact position of a coordinate in the file's unit (DrillFile::unit) as
// a decimal text without binary rounding: "-1.305", "12", "0.0005". It is
// `coordinate.value / kValueScale`, the coordinate's text read in the file's
// number format (DrillFile::numbers) plus any zero offset (G93) before it.
std::string exactDecimal(const Coordinate& coordinate);
std::string exactDecimal(std::int64_t value);

struct Hole {
    std::size_t line = 0;   // the line that drills it
    std::size_t block = 0;  // its tool-selection block
    Coordinate x;
    Coordinate y;
    // The line can be written back as it stands: both coordinates are given
    // and absolute.
    bool verbatim = true;
    // A later line (a repeat code, a slot or route move that starts from the
    // current position) depends on where this hole is, so it stays in place.
    bool pinned = false;
};

// The holes of one tool selection (Excellon: a T<n> line up to the next
// tool selection; CSV: all rows of one tool), in file order.
// A block also ends where holes may not be moved across (a stop, a slot, a
// route, a repeat code, a zero set, a pattern, a header restated): the holes
// after it form a new block of the same tool. A tool selected again is a new
// block too; blocks are kept in file order.
struct ToolBlock {
    std::string tool;                // as written ("T01"); empty before any selection
    std::vector<std::size_t> holes;  // indices into DrillFile::holes
    std::size_t line = 0;            // the line that starts the block (its selection, or the wall before it)
};

// A cut the file makes on lines other than its hole lines, which stay in
// place when the file is written back: the holes of a repeat code (each
// point drilled), or a slot (G85) or route (M15 to M16) milled from its
// first point through the others.
struct DrillCut {
    struct Point {
        Coordinate x;
        Coordinate y;
    };
    std::size_t line = 0;   // the line that starts it
    std::size_t block = 0;  // its tool-selection block
    bool milled = false;    // false: holes at the points; true: a path through them
    bool arc = false;       // a route with an arc (G02/G03), kept only as its end points
    std::vector<Point> points;
};

struct DrillLine {
    std::string text;          // without its line end
    std::string end;           // "\n", "\r\n", "\r", or empty for a last line without one
    std::string replacement;   // when not empty, written instead of `text`
    std::ptrdiff_t hole = -1;  // the hole this line drills, or -1
};

struct DrillFile {
    DrillFormat format = DrillFormat::Excellon;
    std::vector<DrillLine> lines;
    std::vector<Hole> holes;
    std::vector<ToolBlock> blocks;
    std::string unit;          // "inch", "mm", or empty when neither the file nor --units says
    bool incremental = false;  // some holes were given incrementally (written back absolute)
    // How the coordinates' texts were read: the digit format and the zeros
    // of implied-decimal numbers (Unknown when the file holds none that needs
    // them). CSV numbers always carry their decimal point.
    NumberFormat numbers;
    // Where the unit, the zeros and the digits come from ("line 3: INCH,LZ",
    // "--zeros", "inferred from line 12", "the inch default"), for --check.
    std::string unitOrigin;
    std::string zerosOrigin;
    std::string digitsOrigin;
    // What was inferred or overruled, each naming its line and the option
    // that reads it otherwise; printed on every run.
    std::vector<std::string> notes;
    std::vector<DrillCut> cuts;  // repeat codes, slots and routes, in file order
    // The first pattern repeat (M02 after M25 .. M01): its holes are drilled
    // again, moved, on no line of their own.
    std::optional<std::size_t> patternRepeat;
};

// The outcome of reading a drill file: the file, or the reason it is refused.
struct DrillReading {
    DrillFile file;
    std::string error;  // empty when read; else "line N: \"TEXT\": reason"
};

// The new order of a file's holes: for every block, its movable (not pinned)
// holes, as indices into DrillFile::holes.
using HoleOrder = std::vector<std::vector<std::size_t>>;

// The order the file already has.
HoleOrder fileOrder(const DrillFile& file);

}  // namespace twcycle::drill
