// "twcycle drill IN... -o OUT.nc" run as a user runs it.
#include <gtest/gtest.h>

#include <string>

#include "drill/drill_test_files.h"
#include "twcycle/drill/gcode/gcode_reader.h"
#include "twcycle/host_run_fixture.h"

namespace {

using twcycle_test::JobFolder;
using twcycle_test::HostOutcome;

std::string sourceFile(const std::string& path) {
    std::ifstream file(std::string(TW_SOURCE_DIR) + "/" + path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

// The example board's program, pinned to one algorithm so that only a
// change of the program's form changes it.
TEST(GcodeCommand, ExampleBoardMatchesItsGoldenProgram) {
    const JobFolder folder;
    folder.write("board.drl", sourceFile("examples/board.drl"));
    const HostOutcome outcome = folder.run({"drill", "board.drl", "-o", "board.nc", "--algorithm", "nearestDirCross"});
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_EQ(outcome.err, "");
    EXPECT_EQ(folder.read("board.nc"), drill_test::dataFile("gcode/board.nc"));
    EXPECT_NE(outcome.out.find("estimated machining time"), std::string::npos) << outcome.out;
    EXPECT_NE(outcome.out.find("the optimized order saves"), std::string::npos) << outcome.out;
    EXPECT_EQ(twcycle_test::tableLines(outcome.out, "T3").size(), 2u) << outcome.out;  // holes table and times
    EXPECT_FALSE(folder.exists("board.nc.twcycle-pending"));
}

TEST(GcodeCommand, SeveralFilesMakeOneProgram) {
    const JobFolder folder;
    folder.write("plated.drl", drill_test::dataFile("altium_inch_lz.drl"));
    folder.write("npth.drl", drill_test::dataFile("eagle_inch_tz.drl"));
    const HostOutcome outcome = folder.run({"drill", "plated.drl", "npth.drl", "-o", "board.tap", "--drill-cycle",
                                            "moves", "--tool-change", "pause", "--quiet"});
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    const std::string program = folder.read("board.tap");
    EXPECT_NE(program.find("(source: plated.drl)\n(source: npth.drl)\n(unit: inches"), std::string::npos);
    EXPECT_NE(program.find("G20\n"), std::string::npos);
    EXPECT_LT(program.find("plated.drl)\nM5\nG0 Z1.20000\nM0"), program.find("npth.drl)\nM5\nG0 Z1.20000\nM0"));
    const twcycle::drill::gcode::ProgramReading back = twcycle::drill::gcode::readProgram(program);
    const auto plated = drill_test::readDataFile("altium_inch_lz.drl");
    const auto npth = drill_test::readDataFile("eagle_inch_tz.drl");
    // The slot of the plated file is plunged once at its start.
    EXPECT_EQ(back.plunges.size(), plated.file.holes.size() + plated.file.cuts.size() + npth.file.holes.size());
}

TEST(GcodeCommand, RefusalsWriteNothing) {
    struct Case {
        std::vector<std::string> arguments;
        int status;
        const char* message;
    };
    const Case cases[] = {
        {{"drill", "headerless.drl", "-o", "out.nc"}, 8, "--units inch|mm settles it"},
        {{"drill", "metric.drl", "inch.drl", "-o", "out.nc"}, 8, "inch.drl is in inch and metric.drl in mm"},
        {{"drill", "metric.drl", "-o", "out.nc", "--depth", "2"}, 2, "--depth 2 mm is not below the surface"},
        {{"drill", "metric.drl", "-o", "out.nc", "--retract", "0.1in", "--safe-z", "0.1"}, 2,
         "--safe-z 0.1 mm is below the retract height 2.54 mm"},
        {{"drill", "arc.drl", "-o", "out.nc"}, 8, "arc.drl line 8: a route with an arc (G02/G03)"},
        {{"drill", "metric.drl", "inch.drl", "-o", "out.drl"}, 2, "drill takes one input file, or several"},
    };
    for (const Case& c : cases) {
        const JobFolder folder;
        folder.write("headerless.drl", drill_test::dataFile("headerless.drl"));
        folder.write("metric.drl", drill_test::dataFile("kicad_metric.drl"));
        folder.write("inch.drl", drill_test::dataFile("altium_inch_lz.drl"));
        folder.write("arc.drl", "M48\nMETRIC\nT1C1.0\n%\nT1\nX1.0Y1.0\nG00X5.0Y5.0\nM15\nG02X6.0Y6.0A1.0\nM16\nG05\nM30\n");
        const HostOutcome outcome = folder.run(c.arguments);
        EXPECT_EQ(outcome.status, c.status) << outcome.err;
        EXPECT_NE(outcome.err.find(c.message), std::string::npos) << outcome.err;
        EXPECT_FALSE(folder.exists("out.nc"));
        EXPECT_FALSE(folder.exists("out.nc.twcycle-pending"));
    }
    // With --no-slots the route with an arc is left out, and said so.
    const JobFolder folder;
    folder.write("arc.drl", "M48\nMETRIC\nT1C1.0\n%\nT1\nX1.0Y1.0\nG00X5.0Y5.0\nM15\nG02X6.0Y6.0A1.0\nM16\nG05\nM30\n");
    const HostOutcome outcome = folder.run({"drill", "arc.drl", "-o", "out.nc", "--no-slots", "--quiet"});
    EXPECT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_EQ(outcome.err, "twcycle drill: warning: 1 slot or route left out (--no-slots)\n");
}

TEST(GcodeCommand, SlotsAreMilledOrLeftOutWithAWarning) {
    const JobFolder folder;
    folder.write("board.drl", drill_test::dataFile("kicad_metric.drl"));
    const HostOutcome milled = folder.run({"drill", "board.drl", "-o", "milled.nc", "--quiet"});
    ASSERT_EQ(milled.status, 0) << milled.err;
    EXPECT_EQ(milled.err, "");
    EXPECT_NE(folder.read("milled.nc").find("G1 Z-2.000000 F200\nG1 X64.000000 Y10.000000\nG0 Z2.000000\n"),
              std::string::npos);
    const HostOutcome left = folder.run({"drill", "board.drl", "-o", "left.nc", "--no-slots", "--quiet"});
    ASSERT_EQ(left.status, 0) << left.err;
    EXPECT_EQ(left.err, "twcycle drill: warning: 1 slot or route left out (--no-slots)\n");
    EXPECT_EQ(folder.read("left.nc").find("G1 X"), std::string::npos);
    EXPECT_NE(folder.read("left.nc").find("(left out with --no-slots: 1 slot or route)"), std::string::npos);
}

TEST(GcodeCommand, WarnsOfOneToolNumberWithTwoSizes) {
    const JobFolder folder;
    folder.write("a.drl", "M48\nMETRIC\nT1C0.8\n%\nT1\nX1.0Y1.0\nM30\n");
    folder.write("b.drl", "M48\nMETRIC\nT1C3.0\n%\nT1\nX5.0Y5.0\nM30\n");
    const HostOutcome outcome = folder.run({"drill", "a.drl", "b.drl", "-o", "ab.nc", "--quiet"});
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_EQ(outcome.err,
              "twcycle drill: warning: T1 is 0.8 mm in a.drl and 3 mm in b.drl; the program changes to T1 for both\n");
}

TEST(GcodeCommand, PictureDrawsRapidAndFeedMoves) {
    const JobFolder folder;
    folder.write("board.drl", drill_test::dataFile("kicad_metric.drl"));
    const HostOutcome outcome = folder.run({"drill", "board.drl", "--to", "gcode", "--svg", "moves.svg", "--quiet"});
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_TRUE(folder.exists("board.nc"));
    const std::string svg = folder.read("moves.svg");
    EXPECT_NE(svg.find("<line class=\"rapid\""), std::string::npos);
    EXPECT_NE(svg.find("<line class=\"feed\""), std::string::npos);  // the slot
    std::size_t circles = 0;
    for (std::size_t at = svg.find("class=\"plunge\""); at != std::string::npos; at = svg.find("class=\"plunge\"", at + 1))
        ++circles;
    EXPECT_EQ(circles, 70u);  // 69 holes and the slot's plunge
}

}  // namespace
