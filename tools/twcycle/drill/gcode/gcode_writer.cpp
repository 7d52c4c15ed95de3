#include "gcode_writer.h"

namespace twcycle::drill::gcode {
namespace {

std::string count(std::size_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

class ProgramWriter {
public:
    ProgramWriter(const ProgramPlan& plan, const MachineSettings& settings) : plan_(plan), s_(settings) {}

    std::string write(const std::string& title) {
        header(title);
        line("G90");
        line(s_.unit == ProgramUnit::Millimetre ? "G21" : "G20");
        line("G0 Z" + z(s_.safeZ));
        for (const ToolSection& section : plan_.sections) writeSection(section);
        if (s_.cycle != DrillCycle::Moves) line("G80");
        line("M5");
        line("G0 Z" + z(s_.safeZ));
        line("M30");
        return text_;
    }

private:
    void line(const std::string& text) { text_ += text + "\n"; }
    std::string z(std::int64_t value) const { return programNumber(value, s_.unit); }
    std::string xy(const PlanPoint& point) const { return "X" + point.x + " Y" + point.y; }

    std::string size(const ToolSection& section) const {
        if (!section.diameter) return "size unknown";
        return shortNumber(*section.diameter, s_.unit) + " " + unitSymbol(s_.unit);
    }

    std::string describe(const ToolSection& section) const {
        std::string text = size(section) + ", " + count(section.holes.size(), "hole", "holes");
        if (!section.paths.empty()) text += ", " + count(section.paths.size(), "slot or route", "slots or routes");
        return text + ", " + commentText(section.source);
    }

    static std::string name(const ToolSection& section) {
        return section.number >= 0 ? "T" + std::to_string(section.number) : "unnamed";
    }

    void header(const std::string& title) {
        line("(" + commentText(title) + ")");
        for (const std::string& source : plan_.sources) line("(source: " + commentText(source) + ")");
        line(std::string("(unit: ") + (s_.unit == ProgramUnit::Millimetre ? "millimetres" : "inches") +
             ", the files' own coordinates; Z 0 is the board's top)");
        for (const ToolSection& section : plan_.sections) line("(" + name(section) + " " + describe(section) + ")");
        if (plan_.leftOut > 0)
            line("(left out with --no-slots: " + count(plan_.leftOut, "slot or route", "slots or routes") + ")");
        line("(options: " + settingsText(s_) + ")");
    }

    void toolChange(const ToolSection& section) {
        line("(" + std::string(kSectionMark) + name(section) + ": " + describe(section) + ")");
        const bool pause = s_.toolChange == ToolChange::Pause || (s_.toolChange == ToolChange::M6 && section.number < 0);
        if (pause) {
            line("M5");
            line("G0 Z" + z(s_.toolChangeZ));
            line("M0 (change to " + name(section) + ", " + size(section) + ")");
        } else if (s_.toolChange == ToolChange::M6) {
            line("M5");
            line("T" + std::to_string(section.number) + " M6");
        }
        // Wherever the change left the spindle, it goes up first.
        line("G0 Z" + z(s_.safeZ));
        line("S" + shortNumber(s_.spindle, s_.unit) + " M3");
    }

    void writeSection(const ToolSection& section) {
        toolChange(section);
        if (!section.holes.empty()) {
            line("G0 " + xy(section.holes.front()));
            line("G0 Z" + z(s_.retract));
            if (s_.cycle == DrillCycle::Moves)
                drillWithMoves(section);
            else
                drillWithCycle(section);
        }
        for (const std::vector<PlanPoint>& path : section.paths) mill(path, section.holes.empty() && &path == &section.paths.front());
        line("G0 Z" + z(s_.safeZ));
    }

    void drillWithCycle(const ToolSection& section) {
        const std::string feed = "F" + shortNumber(s_.feed, s_.unit);
        std::string start = s_.cycle == DrillCycle::G81 ? "G98 G81 " : "G98 G83 ";
        start += xy(section.holes.front()) + " Z" + z(s_.depth) + " R" + z(s_.retract);
        if (s_.cycle == DrillCycle::G83) start += " Q" + z(s_.peck);
        line(start + " " + feed);
        for (std::size_t i = 1; i < section.holes.size(); ++i) line(xy(section.holes[i]));
        line("G80");
    }

    void drillWithMoves(const ToolSection& section) {
        const std::string feed = "F" + shortNumber(s_.feed, s_.unit);
        for (std::size_t i = 0; i < section.holes.size(); ++i) {
            if (i > 0) line("G0 " + xy(section.holes[i]));
            line("G1 Z" + z(s_.depth) + " " + feed);
            line("G0 Z" + z(s_.retract));
        }
    }

    // Plunge at the start, along the path at depth, retract.
    void mill(const std::vector<PlanPoint>& path, bool fromSafeHeight) {
        line("G0 " + xy(path.front()));
        if (fromSafeHeight) line("G0 Z" + z(s_.retract));
        line("G1 Z" + z(s_.depth) + " F" + shortNumber(s_.feed, s_.unit));
        for (std::size_t i = 1; i < path.size(); ++i) line("G1 " + xy(path[i]));
        line("G0 Z" + z(s_.retract));
    }

    const ProgramPlan& plan_;
    const MachineSettings& s_;
    std::string text_;
};

}  // namespace

std::string commentText(const std::string& text) {
    std::string result;
    for (char c : text) {
        const unsigned char byte = static_cast<unsigned char>(c);
        result += (byte < 0x20 || byte > 0x7e || c == '(' || c == ')' || c == ';') ? '_' : c;
    }
    return result;
}

std::string writeProgram(const ProgramPlan& plan, const MachineSettings& settings, const std::string& title) {
    return ProgramWriter(plan, settings).write(title);
}

}  // namespace twcycle::drill::gcode
