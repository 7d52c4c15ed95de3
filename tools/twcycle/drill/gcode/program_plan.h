// What a machine program drills and mills, tool section by tool section,
// before it is written: every position both as the program writes it and
// as the exact value of the file's text, so that the read-back can hold the
// program against the file.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "gcode_options.h"
#include "twcycle/drill/drill_file.h"

namespace twcycle::drill::gcode {

struct PlanPoint {
    std::string x;  // as the program writes it
    std::string y;
    std::int64_t exactX = 0;  // the file's value, units of 10^-9
    std::int64_t exactY = 0;
};

// One tool block of one input file.
struct ToolSection {
    std::string source;    // the input file's name
    std::string tool;      // as the file writes it ("T01"); empty when the file names none
    long number = -1;      // its number; -1 when unnamed
    std::optional<std::int64_t> diameter;  // units of 10^-9
    std::vector<PlanPoint> holes;          // in drilling order
    std::vector<std::vector<PlanPoint>> paths;  // slots and routes, milled after the holes
};

struct ProgramPlan {
    ProgramUnit unit = ProgramUnit::Millimetre;
    std::vector<std::string> sources;
    std::vector<ToolSection> sections;  // in drilling order; none without holes or paths
    std::size_t leftOut = 0;            // slots and routes left out with --no-slots
    std::vector<std::string> warnings;  // what the user should check in the program
    std::string error;                  // why no program can be made
};

// One input: the file, its name and the order of its holes.
struct PlanInput {
    std::string name;
    const DrillFile* file = nullptr;
    HoleOrder order;
};

// The unit of a file's program; none when the file states none.
std::optional<ProgramUnit> programUnit(const DrillFile& file);

// The one message for a file that states no unit.
std::string unitMissing(const std::string& name);

// The plan for `inputs`, drilled in turn. Per block: the holes in `order`,
// then the holes that stay in place in the file (pinned ones and those of
// repeat codes) in file order, then the slots and routes (left out and
// counted with --no-slots). Tools in file order, or with --tool-order size
// by ascending diameter within each file (tools without one last).
// Refused: files without a unit or with different units, and routes with
// arcs unless --no-slots.
ProgramPlan planProgram(const std::vector<PlanInput>& inputs, const MachineSettings& settings);

}  // namespace twcycle::drill::gcode
