// Programs made from the drill files of tests/data/drill and read back:
// every style passes the check, and a program with a fault does not.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "drill/drill_test_files.h"
#include "twcycle/drill/gcode/gcode_reader.h"
#include "twcycle/drill/gcode/gcode_writer.h"
#include "twcycle/drill/gcode/program_check.h"
#include "twcycle/drill/gcode/program_plan.h"

namespace {

using namespace twcycle::drill;
using namespace twcycle::drill::gcode;

struct Made {
    ProgramPlan plan;
    MachineSettings settings;
    std::string program;
};

MachineSettings settingsFor(ProgramUnit unit, DrillCycle cycle, ToolChange change) {
    GcodeOptions options;
    options.cycle = cycle;
    options.toolChange = change;
    SettingsReading reading = machineSettings(options, unit);
    EXPECT_EQ(reading.error, "");
    return reading.settings;
}

// The plan of `files` with the holes of each block in reverse file order.
Made make(const std::vector<const DrillFile*>& files, DrillCycle cycle, ToolChange change, bool noSlots = false) {
    Made made;
    std::vector<PlanInput> inputs;
    for (const DrillFile* file : files) {
        HoleOrder order = fileOrder(*file);
        for (std::vector<std::size_t>& block : order) std::reverse(block.begin(), block.end());
        inputs.push_back({"in" + std::to_string(inputs.size()) + ".drl", file, order});
    }
    made.settings = settingsFor(*programUnit(*files.front()), cycle, change);
    made.settings.noSlots = noSlots;
    made.plan = planProgram(inputs, made.settings);
    EXPECT_EQ(made.plan.error, "");
    made.program = writeProgram(made.plan, made.settings, "test");
    return made;
}

std::size_t expectedPlunges(const DrillFile& file, bool noSlots) {
    std::size_t count = file.holes.size();
    for (const DrillCut& cut : file.cuts) count += cut.milled ? (noSlots ? 0 : 1) : cut.points.size();
    return count;
}

const char* const kUnitFiles[] = {"kicad_metric.drl", "altium_inch_lz.drl", "eagle_inch_tz.drl",
                                  "metric_tz_pattern.drl", "incremental.drl", "repeats.drl",
                                  "duplicates.drl", "fmat1.drl", "header_only.drl"};

TEST(ProgramCheck, EveryStyleOfEveryFileReadsBackAndPasses) {
    for (const char* name : kUnitFiles) {
        const DrillReading reading = drill_test::readDataFile(name);
        ASSERT_EQ(reading.error, "") << name;
        for (DrillCycle cycle : {DrillCycle::G81, DrillCycle::G83, DrillCycle::Moves})
            for (ToolChange change : {ToolChange::M6, ToolChange::Pause, ToolChange::None})
                for (bool noSlots : {false, true}) {
                    const Made made = make({&reading.file}, cycle, change, noSlots);
                    const ProgramReading back = readProgram(made.program);
                    EXPECT_EQ(checkProgram(made.plan, made.settings, back), "")
                        << name << " " << static_cast<int>(cycle) << static_cast<int>(change) << "\n" << made.program;
                    EXPECT_EQ(back.plunges.size(), expectedPlunges(reading.file, noSlots)) << name;
                    EXPECT_EQ(back.inches, reading.file.unit == "inch") << name;
                }
    }
}

TEST(ProgramCheck, SeveralFilesInOneProgramInTheGivenOrder) {
    const DrillReading a = drill_test::readDataFile("altium_inch_lz.drl");
    const DrillReading b = drill_test::readDataFile("eagle_inch_tz.drl");
    for (ToolChange change : {ToolChange::M6, ToolChange::Pause, ToolChange::None}) {
        const Made made = make({&a.file, &b.file}, DrillCycle::Moves, change);
        const ProgramReading back = readProgram(made.program);
        EXPECT_EQ(checkProgram(made.plan, made.settings, back), "");
        EXPECT_EQ(back.plunges.size(), expectedPlunges(a.file, false) + expectedPlunges(b.file, false));
        ASSERT_FALSE(made.plan.sections.empty());
        EXPECT_EQ(made.plan.sections.front().source, "in0.drl");
        EXPECT_EQ(made.plan.sections.back().source, "in1.drl");
    }
    // Files in different units make no program.
    const DrillReading metric = drill_test::readDataFile("kicad_metric.drl");
    std::vector<PlanInput> inputs = {{"a.drl", &a.file, fileOrder(a.file)}, {"m.drl", &metric.file, fileOrder(metric.file)}};
    const ProgramPlan mixed = planProgram(inputs, settingsFor(ProgramUnit::Inch, DrillCycle::G81, ToolChange::M6));
    EXPECT_EQ(mixed.error, "m.drl is in mm and a.drl in inch; one program has one unit");
}

TEST(ProgramCheck, ToolOrderBySizeSortsEachFile) {
    const DrillReading metric = drill_test::readDataFile("kicad_metric.drl");
    MachineSettings settings = settingsFor(ProgramUnit::Millimetre, DrillCycle::G81, ToolChange::M6);
    settings.order = ToolOrder::Size;
    const ProgramPlan plan = planProgram({{"m.drl", &metric.file, fileOrder(metric.file)}}, settings);
    ASSERT_GT(plan.sections.size(), 2u);
    for (std::size_t i = 1; i < plan.sections.size(); ++i)
        EXPECT_LE(*plan.sections[i - 1].diameter, *plan.sections[i].diameter);
    EXPECT_EQ(checkProgram(plan, settings, readProgram(writeProgram(plan, settings, "t"))), "");
}

TEST(ProgramCheck, FilesWithoutAUnitAreRefusedNamingTheOption) {
    const DrillReading headerless = drill_test::readDataFile("headerless.drl");
    ASSERT_EQ(headerless.file.unit, "");
    const ProgramPlan plan = planProgram({{"h.drl", &headerless.file, fileOrder(headerless.file)}},
                                         settingsFor(ProgramUnit::Inch, DrillCycle::G81, ToolChange::M6));
    EXPECT_EQ(plan.error, unitMissing("h.drl"));
    EXPECT_NE(plan.error.find("--units inch|mm"), std::string::npos);
}

TEST(ProgramCheck, HolesWithoutANamedToolArePausedFor) {
    const DrillReading reading = readExcellon("M48\nMETRIC\n%\nX1.0Y1.0\nX2.0Y1.0\nT2C0.5\nX3.0Y1.0\nM30\n");
    ASSERT_EQ(reading.error, "");
    for (ToolChange change : {ToolChange::M6, ToolChange::Pause, ToolChange::None}) {
        const Made made = make({&reading.file}, DrillCycle::G81, change);
        const ProgramReading back = readProgram(made.program);
        EXPECT_EQ(checkProgram(made.plan, made.settings, back), "") << made.program;
        ASSERT_EQ(back.plunges.size(), 3u);
        EXPECT_EQ(back.plunges[0].tool, -1);
        EXPECT_EQ(back.plunges[2].tool, 2);
        // An automatic changer cannot fetch a tool without a number: the operator changes it.
        if (change != ToolChange::None) {
            EXPECT_NE(made.program.find("(tool unnamed: size unknown, 2 holes, in0.drl)\nM5\nG0 Z30.000000\nM0"),
                      std::string::npos)
                << made.program;
        }
    }
}

std::string replaced(std::string text, const std::string& from, const std::string& to) {
    const std::size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos) text.replace(at, from.size(), to);
    return text;
}

TEST(ProgramCheck, AProgramWithAFaultFails) {
    const DrillReading metric = drill_test::readDataFile("kicad_metric.drl");
    const Made cycles = make({&metric.file}, DrillCycle::G81, ToolChange::M6);
    const Made moves = make({&metric.file}, DrillCycle::Moves, ToolChange::None);
    // The first hole after the first cycle line.
    const std::size_t cycleLine = cycles.program.find("G98 G81");
    const std::size_t holeBegin = cycles.program.find('\n', cycleLine) + 1;
    const std::string hole = cycles.program.substr(holeBegin, cycles.program.find('\n', holeBegin) + 1 - holeBegin);
    ASSERT_EQ(hole.front(), 'X');
    struct Case {
        const Made* made;
        std::string program;
        const char* fault;
    };
    const Case cases[] = {
        {&cycles, replaced(cycles.program, hole, ""), "is not drilled"},
        {&cycles, replaced(cycles.program, hole, hole + hole), "a hole drilled twice"},
        {&cycles, replaced(cycles.program, hole, "X1.000000 Y1.000000\n"), "a hole the files do not have"},
        {&cycles, replaced(cycles.program, "T2 M6", "T3 M6"), "a hole the files do not have: T3"},
        {&cycles, replaced(cycles.program, "S10000 M3", "S10000"), "with the spindle off"},
        {&cycles, replaced(cycles.program, "T1 M6\nG0 Z10.000000\n", "T1 M6\n"), "a move sideways with the height unknown"},
        {&cycles, replaced(cycles.program, "T1 M6\nG0 Z10.000000\n", "T1 M6\nG0 Z3\n"),
         "the first move after a tool change does not go up to the safe height"},
        {&cycles, replaced(cycles.program, "G21", "G20"), "the program does not give its unit (G21)"},
        {&cycles, replaced(cycles.program, "M30\n", ""), "the program does not read back: the program has no end"},
        {&cycles, replaced(cycles.program, "Z-2.000000 R", "Z-1.000000 R"), "a plunge to another depth"},
        {&moves, replaced(moves.program, "G1 Z-2.000000 F200\n", "G0 Z-2.000000\n"), "a rapid move below the retract height"},
        {&moves, replaced(moves.program, "G1 Z-2.000000 F200\n", "G1 Z-2.000000 F200\nG1 X0 Y0\n"),
         "a move sideways below Z 0 that is no slot or route"},
        {&moves, replaced(moves.program, "G0 Z2.000000\nG0 X", "G0 X"), "a rapid move below the retract height"},
        {&moves, replaced(moves.program, "G1 X64.000000 Y10.000000", "G1 X64.000000 Y10.000000\nG1 X60.000000 Y10.000000"),
         "a move sideways below Z 0 that is no slot or route"},
        {&moves, replaced(moves.program, "G1 X64.000000 Y10.000000\n", ""), "is not milled"},
        {&moves, replaced(moves.program, "S10000 M3\n", "S10000 M3\nM5\n"), "the tool goes below Z 0 with the spindle off"},
        {&moves, replaced(moves.program, "G0 Z2.000000\n", "G0 Z1.000000\n"), "a rapid move below the retract height"},
    };
    for (const Case& c : cases) {
        const std::string fault = checkProgram(c.made->plan, c.made->settings, readProgram(c.program));
        EXPECT_NE(fault.find(c.fault), std::string::npos) << c.fault << " -> " << fault;
    }
}

}  // namespace
