// A small reader of machine programs, kept apart from the writer so that
// the check after writing reads the program the way a controller would:
// absolute moves (G0, G1), the drilling cycles G81 and G83 expanded into
// their moves (G98/G99 retract), units, feed, spindle, tool changes (T M6)
// and pauses (M0, M1), dwells, comments and the program end. Anything else
// is refused with its line.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace twcycle::drill::gcode {

// Lines longer than this are refused.
inline constexpr std::size_t kMaxProgramLine = 1024;
// A drilling cycle takes at most this many pecks.
inline constexpr std::int64_t kMaxCyclePecks = 100000;

// Coordinates in units of 10^-9 of the program's unit; none while unknown
// (before the first move on that axis, Z after a tool change or a pause).
struct ProgramPosition {
    std::optional<std::int64_t> x;
    std::optional<std::int64_t> y;
    std::optional<std::int64_t> z;
};

struct ProgramMove {
    ProgramPosition from;
    ProgramPosition to;
    bool rapid = false;
    bool cycle = false;    // a move a drilling cycle makes
    bool spindle = false;  // the spindle turns
    std::int64_t feed = 0; // per minute, for feed moves
    long tool = -1;        // the tool in the spindle (-1: unknown or unnamed)
    std::size_t section = 0;  // tool changes and section marks before it
    std::size_t line = 0;     // from 1
};

// A hole: a drilling cycle at one position, or a feed move straight down
// from at or above Z 0 to below it.
struct ProgramPlunge {
    std::int64_t x = 0;
    std::int64_t y = 0;
    std::int64_t bottom = 0;
    long tool = -1;
    bool spindle = false;
    std::size_t section = 0;
    std::size_t line = 0;
};

struct ProgramReading {
    std::optional<bool> inches;  // G20 (true) or G21 (false), the last given
    bool unitBeforeMoves = true;  // no move came before the unit
    std::vector<ProgramMove> moves;
    std::vector<ProgramPlunge> plunges;
    std::vector<long> sectionTools;  // the tool each section names (index: section - 1)
    double dwellSeconds = 0.0;
    bool ended = false;  // M2 or M30
    std::string error;   // "line N: reason"; empty when read
};

// The tool taken from a section mark comment ("tool T3: ..." -> 3,
// "tool unnamed: ..." -> -1); none for other comments.
std::optional<long> markedTool(std::string_view comment);

ProgramReading readProgram(std::string_view text);

}  // namespace twcycle::drill::gcode
