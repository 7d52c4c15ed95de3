#include "program_check.h"

#include <map>
#include <tuple>

namespace twcycle::drill::gcode {
namespace {

// A position the program must reach: tool and the plan's point, rounded as
// the program writes it.
using Place = std::tuple<long, std::int64_t, std::int64_t>;
using Segment = std::tuple<long, std::int64_t, std::int64_t, std::int64_t, std::int64_t>;

std::string at(std::size_t line) { return "line " + std::to_string(line) + ": "; }

std::string describe(long tool, std::int64_t x, std::int64_t y, ProgramUnit unit) {
    return (tool >= 0 ? "T" + std::to_string(tool) : std::string("an unnamed tool")) + " at X" +
           programNumber(x, unit) + " Y" + programNumber(y, unit);
}

class ProgramCheck {
public:
    ProgramCheck(const ProgramPlan& plan, const MachineSettings& settings) : s_(settings) {
        for (const ToolSection& section : plan.sections) {
            for (const PlanPoint& hole : section.holes) ++plunges_[place(section.number, hole)];
            for (const std::vector<PlanPoint>& path : section.paths) {
                ++plunges_[place(section.number, path.front())];
                for (std::size_t i = 1; i < path.size(); ++i) {
                    const Place from = place(section.number, path[i - 1]);
                    const Place to = place(section.number, path[i]);
                    ++segments_[{section.number, std::get<1>(from), std::get<2>(from), std::get<1>(to), std::get<2>(to)}];
                }
            }
        }
    }

    std::string run(const ProgramReading& reading) {
        if (!reading.error.empty()) return "the program does not read back: " + reading.error;
        const bool inches = s_.unit == ProgramUnit::Inch;
        if (reading.inches != inches || !reading.unitBeforeMoves)
            return std::string("the program does not give its unit (") + (inches ? "G20" : "G21") +
                   ") before its moves";
        for (const ProgramMove& move : reading.moves)
            if (std::string fault = checkMove(move); !fault.empty()) return fault;
        for (const ProgramPlunge& plunge : reading.plunges)
            if (std::string fault = checkPlunge(plunge); !fault.empty()) return fault;
        for (const auto& [where, missing] : plunges_)
            if (missing != 0)
                return "the hole of " + describe(std::get<0>(where), std::get<1>(where), std::get<2>(where), s_.unit) +
                       " is not drilled";
        for (const auto& [segment, missing] : segments_)
            if (missing != 0)
                return "a slot or route of " + describe(std::get<0>(segment), std::get<1>(segment), std::get<2>(segment), s_.unit) +
                       " is not milled";
        return {};
    }

private:
    Place place(long tool, const PlanPoint& point) const {
        return {tool, roundedValue(point.exactX, s_.unit), roundedValue(point.exactY, s_.unit)};
    }

    std::string checkMove(const ProgramMove& move) {
        const bool sideways = move.from.x != move.to.x || move.from.y != move.to.y;
        if (!move.from.z) {
            if (sideways) return at(move.line) + "a move sideways with the height unknown (after a tool change or a pause)";
            if (move.to.z && *move.to.z < s_.safeZ)
                return at(move.line) + "the first move after a tool change does not go up to the safe height";
            return {};
        }
        const std::int64_t from = *move.from.z;
        const std::int64_t to = move.to.z.value_or(from);
        const std::int64_t lowest = from < to ? from : to;
        if (lowest < 0 && !move.spindle) return at(move.line) + "the tool goes below Z 0 with the spindle off";
        // Straight up out of a hole is the retract itself; anything else
        // that a rapid does below the retract height is not.
        if (move.rapid && !move.cycle && (to < s_.retract || (sideways && from < s_.retract)))
            return at(move.line) + "a rapid move below the retract height";
        if (sideways && lowest < 0) {
            if (move.rapid || from != to || !move.from.x || !move.from.y)
                return at(move.line) + "a move sideways below Z 0";
            auto found = segments_.find({move.tool, *move.from.x, *move.from.y, *move.to.x, *move.to.y});
            if (found == segments_.end() || found->second == 0)
                return at(move.line) + "a move sideways below Z 0 that is no slot or route of the tool";
            --found->second;
        }
        return {};
    }

    std::string checkPlunge(const ProgramPlunge& plunge) {
        if (!plunge.spindle) return at(plunge.line) + "a plunge with the spindle off";
        if (plunge.bottom != roundedValue(s_.depth, s_.unit))
            return at(plunge.line) + "a plunge to another depth than " + programNumber(s_.depth, s_.unit);
        auto found = plunges_.find({plunge.tool, plunge.x, plunge.y});
        if (found == plunges_.end()) return at(plunge.line) + "a hole the files do not have: " + describe(plunge.tool, plunge.x, plunge.y, s_.unit);
        if (found->second == 0) return at(plunge.line) + "a hole drilled twice: " + describe(plunge.tool, plunge.x, plunge.y, s_.unit);
        --found->second;
        return {};
    }

    const MachineSettings& s_;
    std::map<Place, long> plunges_;
    std::map<Segment, long> segments_;
};

}  // namespace

std::string checkProgram(const ProgramPlan& plan, const MachineSettings& settings, const ProgramReading& reading) {
    return ProgramCheck(plan, settings).run(reading);
}

}  // namespace twcycle::drill::gcode
