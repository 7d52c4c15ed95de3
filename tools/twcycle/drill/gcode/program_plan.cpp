#include "program_plan.h"

#include <algorithm>

#include "tool_sizes.h"

namespace twcycle::drill::gcode {
namespace {

// A point of a file: its exact values (the texts read in the file's number
// format, plus any zero set) written in the program's unit.
PlanPoint planPoint(const Coordinate& x, const Coordinate& y, ProgramUnit unit) {
    PlanPoint point;
    point.x = programNumber(x.value, unit);
    point.y = programNumber(y.value, unit);
    point.exactX = x.value;
    point.exactY = y.value;
    return point;
}

// Consecutive equal points of a path are one: the program moves nowhere.
void appendPathPoint(std::vector<PlanPoint>& path, PlanPoint point) {
    if (!path.empty() && path.back().x == point.x && path.back().y == point.y) return;
    path.push_back(std::move(point));
}

std::vector<ToolSection> fileSections(const PlanInput& input, ProgramUnit unit, bool noSlots, std::size_t& leftOut,
                                      std::string& error) {
    const DrillFile& file = *input.file;
    if (file.patternRepeat) {
        error = input.name + " line " + std::to_string(*file.patternRepeat + 1) +
                ": a pattern repeat (M02), whose moved holes a machine program cannot drill yet";
        return {};
    }
    const std::map<long, std::int64_t> sizes = toolSizes(file);
    std::vector<ToolSection> sections(file.blocks.size());
    for (std::size_t b = 0; b < file.blocks.size(); ++b) {
        ToolSection& section = sections[b];
        section.source = input.name;
        section.tool = file.blocks[b].tool;
        section.number = toolNumber(section.tool);
        if (const auto size = sizes.find(section.number); size != sizes.end()) section.diameter = size->second;
        if (b < input.order.size())
            for (std::size_t hole : input.order[b])
                section.holes.push_back(planPoint(file.holes[hole].x, file.holes[hole].y, unit));
        for (std::size_t hole : file.blocks[b].holes)
            if (file.holes[hole].pinned)
                section.holes.push_back(planPoint(file.holes[hole].x, file.holes[hole].y, unit));
    }
    for (const DrillCut& cut : file.cuts) {
        if (cut.block >= sections.size()) continue;
        ToolSection& section = sections[cut.block];
        if (!cut.milled) {
            for (const DrillCut::Point& point : cut.points)
                section.holes.push_back(planPoint(point.x, point.y, unit));
            continue;
        }
        if (noSlots) {
            ++leftOut;
            continue;
        }
        if (cut.arc) {
            error = input.name + " line " + std::to_string(cut.line + 1) +
                    ": a route with an arc (G02/G03), which the program cannot mill yet; --no-slots leaves the "
                    "slots and routes out";
            continue;
        }
        std::vector<PlanPoint> path;
        for (const DrillCut::Point& point : cut.points) appendPathPoint(path, planPoint(point.x, point.y, unit));
        // A path that goes nowhere is a plunge: drilled as a hole.
        if (path.size() == 1)
            section.holes.push_back(std::move(path.front()));
        else if (!path.empty())
            section.paths.push_back(std::move(path));
    }
    std::vector<ToolSection> kept;
    for (ToolSection& section : sections)
        if (!section.holes.empty() || !section.paths.empty()) kept.push_back(std::move(section));
    return kept;
}

}  // namespace

std::optional<ProgramUnit> programUnit(const DrillFile& file) {
    if (file.unit == "mm") return ProgramUnit::Millimetre;
    if (file.unit == "inch") return ProgramUnit::Inch;
    return std::nullopt;
}

std::string unitMissing(const std::string& name) {
    return name + " does not say whether it is in inches or millimetres (no INCH, METRIC, M71 or M72), "
                  "and a machine program needs the unit: --units inch|mm settles it";
}

ProgramPlan planProgram(const std::vector<PlanInput>& inputs, const MachineSettings& settings) {
    ProgramPlan plan;
    plan.unit = settings.unit;
    for (const PlanInput& input : inputs) {
        const std::optional<ProgramUnit> unit = programUnit(*input.file);
        if (!unit) {
            plan.error = unitMissing(input.name);
            return plan;
        }
        if (*unit != settings.unit) {
            plan.error = input.name + " is in " + input.file->unit + " and " + inputs.front().name + " in " +
                         inputs.front().file->unit + "; one program has one unit";
            return plan;
        }
        // Implied decimals read in a format the file does not state put every
        // hole at a scale that is only the usual one.
        const std::string& digits = input.file->digitsOrigin;
        if (input.file->numbers.zeros != ZeroMode::Unknown &&
            (digits.rfind("the ", 0) == 0 || digits.rfind("inferred", 0) == 0))
            plan.warnings.push_back(input.name + " states no digit format; its numbers are read as " +
                                    std::to_string(input.file->numbers.integerDigits) + "." +
                                    std::to_string(input.file->numbers.decimalDigits) + " (" + digits +
                                    "): check the program's coordinates, or give --digits I.D");
        plan.sources.push_back(input.name);
        std::vector<ToolSection> sections =
            fileSections(input, settings.unit, settings.noSlots, plan.leftOut, plan.error);
        if (!plan.error.empty()) return plan;
        if (settings.order == ToolOrder::Size)
            std::stable_sort(sections.begin(), sections.end(), [](const ToolSection& a, const ToolSection& b) {
                if (a.diameter && b.diameter) return *a.diameter < *b.diameter;
                return a.diameter.has_value() && !b.diameter.has_value();
            });
        for (ToolSection& section : sections) plan.sections.push_back(std::move(section));
    }
    return plan;
}

}  // namespace twcycle::drill::gcode
