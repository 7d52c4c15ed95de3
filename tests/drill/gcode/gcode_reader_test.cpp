// The program reader: what it understands of a program, and what it refuses.
#include <gtest/gtest.h>

#include <string>

#include "twcycle/drill/gcode/gcode_reader.h"

namespace {

using namespace twcycle::drill::gcode;

constexpr std::int64_t kUnit = 1000000000;

TEST(ProgramReader, ExpandsTheDrillingCycles) {
    const ProgramReading g81 = readProgram(
        "G21 G90\nG0 Z10\nT1 M6\nG0 Z10\nS1000 M3\nG0 X1 Y2\nG0 Z5\n"
        "G98 G81 X1 Y2 Z-2 R1 F100\nX3 (second)\nG80\nM30\n");
    ASSERT_EQ(g81.error, "");
    ASSERT_EQ(g81.plunges.size(), 2u);
    EXPECT_EQ(g81.plunges[1].x, 3 * kUnit);
    EXPECT_EQ(g81.plunges[1].y, 2 * kUnit);
    EXPECT_EQ(g81.plunges[1].bottom, -2 * kUnit);
    EXPECT_EQ(g81.plunges[1].tool, 1);
    EXPECT_TRUE(g81.plunges[1].spindle);
    EXPECT_EQ(g81.inches, false);
    // G98: back to the height the cycle began at (5), above R (1).
    EXPECT_EQ(*g81.moves.back().to.z, 5 * kUnit);
    EXPECT_TRUE(g81.moves.back().cycle);

    const ProgramReading g83 = readProgram(
        "G20\nG0 Z1\nS1 M3\nG0 X0 Y0\nG99 G83 X0 Y0 Z-0.25 R0.1 Q0.1 F5\nG80\nM30\n");
    ASSERT_EQ(g83.error, "");
    ASSERT_EQ(g83.plunges.size(), 1u);
    std::size_t feeds = 0;
    for (const ProgramMove& move : g83.moves) feeds += move.rapid ? 0 : 1;
    EXPECT_EQ(feeds, 4u);  // 0.1 -> 0 -> -0.1 -> -0.2 -> -0.25
    EXPECT_EQ(*g83.moves.back().to.z, kUnit / 10);  // G99: back to R
    EXPECT_EQ(g83.inches, true);
}

TEST(ProgramReader, PlungesToolsAndSections) {
    const ProgramReading reading = readProgram(
        "G21\n(tool T7: 1 mm)\nG0 Z5\nS100 M3\nG0 X1 Y1\nG1 Z-1 F50\nG0 Z5\n"
        "(tool unnamed: size unknown)\nM0\nG0 Z5\nM3\nG0 X2 Y2\nG1 Z-1\nG0 Z5\nM5 M30\n");
    ASSERT_EQ(reading.error, "");
    ASSERT_EQ(reading.plunges.size(), 2u);
    EXPECT_EQ(reading.plunges[0].tool, 7);
    EXPECT_EQ(reading.plunges[1].tool, -1);
    EXPECT_EQ(reading.sectionTools, (std::vector<long>{7, -1}));
    EXPECT_EQ(reading.plunges[1].section, 2u);
    // After a pause the height is unknown until a move gives it.
    bool unknown = false;
    for (const ProgramMove& move : reading.moves) unknown = unknown || !move.from.z;
    EXPECT_TRUE(unknown);
}

TEST(ProgramReader, MarkedTools) {
    EXPECT_EQ(markedTool("tool T12: 0.8 mm"), 12);
    EXPECT_EQ(markedTool("tool unnamed: size unknown"), -1);
    EXPECT_FALSE(markedTool("T12 0.8 mm").has_value());
    EXPECT_FALSE(markedTool("tool T: 1").has_value());
    EXPECT_FALSE(markedTool("tool T1").has_value());
    EXPECT_FALSE(markedTool("tool T12345678901: 1").has_value());
}

TEST(ProgramReader, RefusesWhatItDoesNotFollow) {
    struct Case {
        const char* program;
        const char* error;
    };
    const Case cases[] = {
        {"G21\nG91\nM30\n", "line 2: incremental moves (G91)"},
        {"G21\nG0 X1 A2\nM30\n", "line 2: a word A this reader does not know"},
        {"G21 (open\nM30\n", "line 1: a comment without ')'"},
        {"G21 (a (b) c)\nM30\n", "line 1: a comment inside a comment"},
        {"G21\nM30\nG0 X1\n", "line 3: a statement after the program's end"},
        {"G21\nG0 X1\n", "the program has no end"},
        {"M6\nM30\n", "line 1: a tool change (M6) without a tool"},
        {"G0 G1 X1\nM30\n", "line 1: two motions on one line"},
        {"G0 X1 X2\nM30\n", "line 1: a second X on one line"},
        {"G0 Z1\nG81 X0 Y0 Z-1 F1\nM30\n", "line 2: a drilling cycle without Z and R"},
        {"G0 Z1\nG81 X0 Y0 Z1 R0 F1\nM30\n", "line 2: a drilling cycle whose bottom (Z) is not below R"},
        {"G0 Z1\nG83 X0 Y0 Z-1 R0 F1\nM30\n", "line 2: a peck cycle (G83) without a peck"},
        {"G0 Z1\nG83 X0 Y0 Z-100000 R0 Q0.001 F1\nM30\n", "line 2: a peck cycle with too many pecks"},
        {"G81 X0 Y0 Z-1 R1 F1\nM30\n", "line 1: a drilling cycle begun with the height unknown"},
        {"G1 Z1\nM30\n", "line 1: a feed move (G1) without a feed"},
        {"X1\nM30\n", "line 1: coordinates without a motion"},
        {"M3\nM30\n", "line 1: the spindle turned on without a speed"},
        {"G2 X1\nM30\n", "line 1: a G code this reader does not know"},
        {"M98\nM30\n", "line 1: an M code this reader does not know"},
        {"G0 X1.0000000001\nM30\n", "line 1: a number with more than 9 decimals"},
        {"G0 X12345678901\nM30\n", "line 1: a number too large"},
        {"G0 X\nM30\n", "line 1: a word X without a number"},
        {"G0 X1 # \nM30\n", "line 1: a character that is not part of a program"},
        {"G4\nM30\n", "line 1: a dwell (G4) without P"},
    };
    for (const Case& c : cases) {
        const std::string error = readProgram(c.program).error;
        EXPECT_EQ(error.substr(0, std::string(c.error).size()), c.error) << c.program << " -> " << error;
    }
    EXPECT_EQ(readProgram(std::string(2000, ' ') + "\nM30\n").error, "line 1: a line longer than 1024 characters");
    // Comments, blanks, '%', line numbers and lower case are read.
    EXPECT_EQ(readProgram("%\n; a comment\n n10 g21 g90 (c)\n\ng0 z1\nM30\n%\n").error, "");
}

}  // namespace
