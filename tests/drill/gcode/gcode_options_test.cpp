// The options of a machine program, their units and their refusals.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "twcycle/drill/drill_options.h"

namespace {

using namespace twcycle::drill;
using namespace twcycle::drill::gcode;

DrillOptions parse(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), "drill");
    std::vector<char*> argv;
    for (std::string& argument : arguments) argv.push_back(argument.data());
    return parseDrillOptions(static_cast<int>(argv.size()), argv.data());
}

TEST(GcodeOptions, OutputKindFollowsTheExtensionUnlessToSaysOtherwise) {
    struct Case {
        std::vector<std::string> arguments;
        bool gcode;
        const char* output;
    };
    const Case cases[] = {
        {{"a.drl", "-o", "a.nc"}, true, "a.nc"},        {{"a.drl", "-o", "a.NGC"}, true, "a.NGC"},
        {{"a.drl", "-o", "x/a.gcode"}, true, "x/a.gcode"}, {{"a.drl", "-o", "a.tap"}, true, "a.tap"},
        {{"a.drl", "-o", "a.cnc"}, true, "a.cnc"},      {{"a.drl", "-o", "a.drl.out"}, false, "a.drl.out"},
        {{"a.drl", "-o", "nc"}, false, "nc"},           {{"a.drl", "--to", "gcode"}, true, "a.nc"},
        {{"a.drl", "-o", "a.nc", "--to", "excellon"}, false, "a.nc"},
        {{"a.drl", "b.drl", "-o", "ab.nc"}, true, "ab.nc"},
    };
    for (const Case& c : cases) {
        const DrillOptions options = parse(c.arguments);
        ASSERT_EQ(options.error, "") << c.arguments.back();
        EXPECT_EQ(options.gcodeOutput, c.gcode) << c.arguments.back();
        EXPECT_EQ(options.output, c.output);
    }
    EXPECT_EQ(parse({"a.drl", "b.drl", "-o", "ab.nc"}).inputs, (std::vector<std::string>{"a.drl", "b.drl"}));
}

TEST(GcodeOptions, WrongValuesSayWhy) {
    struct Case {
        std::vector<std::string> arguments;
        const char* error;
    };
    const Case cases[] = {
        {{"a.drl", "b.drl", "-o", "ab.drl"}, "drill takes one input file, or several"},
        {{"a.drl", "--drill-cycle", "g73"}, "--drill-cycle is g81|g83|moves"},
        {{"a.drl", "--tool-change", "atc"}, "--tool-change is m6|pause|none"},
        {{"a.drl", "--tool-order", "name"}, "--tool-order is file|size"},
        {{"a.drl", "--to", "gerber"}, "--to is gcode|excellon"},
        {{"a.drl", "--depth"}, "--depth needs a value"},
        {{"a.drl", "--depth", "-2cm"}, "--depth needs a number"},
        {{"a.drl", "--feed", "1e3"}, "--feed needs a number"},
        {{"a.drl", "--spindle", "10000mm"}, "--spindle needs a number (not"},
        {{"a.drl", "--retract", "1234567"}, "--retract needs a number"},
    };
    for (const Case& c : cases) {
        const std::string error = parse(c.arguments).error;
        EXPECT_EQ(error.substr(0, std::string(c.error).size()), c.error) << error;
    }
}

std::int64_t mm(double value) { return static_cast<std::int64_t>(value * 1e9 + (value < 0 ? -0.5 : 0.5)); }

TEST(MachineSettings, DefaultsAndValuesInEitherUnit) {
    const DrillOptions defaults = parse({"a.drl", "-o", "a.nc"});
    const MachineSettings metric = machineSettings(defaults.gcode, ProgramUnit::Millimetre).settings;
    EXPECT_EQ(metric.depth, mm(-2));
    EXPECT_EQ(metric.retract, mm(2));
    EXPECT_EQ(metric.safeZ, mm(10));
    EXPECT_EQ(metric.toolChangeZ, mm(30));
    EXPECT_EQ(metric.feed, mm(200));
    const MachineSettings inch = machineSettings(defaults.gcode, ProgramUnit::Inch).settings;
    EXPECT_EQ(inch.depth, mm(-0.08));
    EXPECT_EQ(inch.peck, mm(0.02));
    EXPECT_EQ(inch.cycle, DrillCycle::G81);
    EXPECT_EQ(inch.toolChange, ToolChange::M6);

    const DrillOptions given = parse({"a.drl", "-o", "a.nc", "--depth", "-0.1in", "--retract", "1.5",
                                      "--safe-z", "0.5inch", "--feed", "100mm", "--peck", "0.0254mm",
                                      "--drill-cycle", "g83", "--tool-change", "pause", "--no-slots"});
    ASSERT_EQ(given.error, "");
    const MachineSettings m = machineSettings(given.gcode, ProgramUnit::Millimetre).settings;
    EXPECT_EQ(m.depth, mm(-2.54));    // 0.1 in is 2.54 mm exactly
    EXPECT_EQ(m.retract, mm(1.5));    // the file's unit
    EXPECT_EQ(m.safeZ, mm(12.7));
    EXPECT_EQ(m.feed, mm(100));
    EXPECT_TRUE(m.noSlots);
    const MachineSettings i = machineSettings(given.gcode, ProgramUnit::Inch).settings;
    EXPECT_EQ(i.depth, mm(-0.1));
    EXPECT_EQ(i.feed, mm(3.93701));  // 100 / 25.4 = 3.937007..., at 5 decimals
    EXPECT_EQ(i.peck, mm(0.001));
    EXPECT_EQ(i.retract, mm(1.5));
}

TEST(MachineSettings, RefusesAProgramThatWouldPlungeUpOrRetractIntoTheBoard) {
    struct Case {
        std::vector<std::string> arguments;
        const char* error;
    };
    const Case cases[] = {
        {{"--depth", "0"}, "--depth 0 mm is not below the surface"},
        {{"--depth", "1.5mm"}, "--depth 1.5mm is not below the surface"},
        {{"--retract", "0"}, "--retract 0 mm is not above the surface"},
        {{"--retract", "-1"}, "--retract -1 mm is not above the surface"},
        {{"--safe-z", "1"}, "--safe-z 1 mm is below the retract height 2 mm"},
        {{"--retract", "12"}, "--safe-z 10 mm is below the retract height 12 mm"},
        {{"--tool-change-z", "5"}, "--tool-change-z 5 mm is below the safe height 10 mm"},
        {{"--feed", "0"}, "--feed 0 mm is not above 0"},
        {{"--rapid-rate", "-1"}, "--rapid-rate -1 mm is not above 0"},
        {{"--spindle", "0"}, "--spindle 0 is not above 0"},
        {{"--peck", "0"}, "--peck 0 mm is not above 0"},
        {{"--drill-cycle", "g83", "--peck", "0.0001"}, "--peck 0.0001 mm makes more than 10000 pecks"},
        // A safe height above the default tool-change height moves it up.
        {{"--safe-z", "40"}, ""},
        {{"--depth", "-0.000001"}, ""},
    };
    for (const Case& c : cases) {
        std::vector<std::string> arguments = {"a.drl", "-o", "a.nc"};
        arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
        const DrillOptions options = parse(arguments);
        ASSERT_EQ(options.error, "");
        const std::string error = machineSettings(options.gcode, ProgramUnit::Millimetre).error;
        EXPECT_EQ(error.substr(0, std::string(c.error).size()), c.error) << error;
        if (*c.error == '\0') {
            EXPECT_EQ(error, "");
        }
    }
    // A depth given in inches is refused in an inch file too.
    const DrillOptions up = parse({"a.drl", "-o", "a.nc", "--depth", "0.01"});
    EXPECT_NE(machineSettings(up.gcode, ProgramUnit::Inch).error.find("--depth 0.01 in is not below"), std::string::npos);
}

TEST(GcodeOptions, HelpListsEveryOptionWithItsDefault) {
    const std::string usage = drillUsage();
    const char* const lines[] = {"--to gcode|excellon", "--drill-cycle g81|g83|moves", "(default g81)",
                                 "--tool-change m6|pause|none", "(default m6)", "--tool-order file|size",
                                 "(default file)", "--depth Z", "(default -2 mm, -0.08 in)", "--retract Z",
                                 "(default 2 mm, 0.08 in)", "--safe-z Z", "(default 10 mm, 0.4 in)",
                                 "--tool-change-z Z", "(default 30 mm, 1.2 in)", "--feed F", "(default 200 mm, 8 in)",
                                 "--spindle S", "(default 10000)", "--peck Q", "(default 0.5 mm, 0.02 in)",
                                 "--rapid-rate R", "(default 2500 mm, 100 in)", "--no-slots", "--svg FILE"};
    for (const char* line : lines) EXPECT_NE(usage.find(line), std::string::npos) << line;
}

}  // namespace
