#include "twcycle/drill/excellon_reader.h"

#include <gtest/gtest.h>

#include <vector>

#include "drill/drill_test_files.h"

namespace {

using namespace twcycle::drill;
using drill_test::dataFile;

constexpr std::int64_t kMilli = 1000000;  // 0.001 in the fixed-point values

std::vector<std::size_t> holeCounts(const DrillFile& file) {
    std::vector<std::size_t> counts;
    for (const ToolBlock& block : file.blocks) counts.push_back(block.holes.size());
    return counts;
}

std::vector<std::string> tools(const DrillFile& file) {
    std::vector<std::string> names;
    for (const ToolBlock& block : file.blocks) names.push_back(block.tool);
    return names;
}

TEST(ExcellonReader, ReadsEveryDialectFile) {
    struct Case {
        const char* name;
        std::vector<std::string> tools;
        std::vector<std::size_t> holes;
        const char* unit;
        std::size_t pinned;
    };
    const Case cases[] = {
        {"kicad_metric.drl", {"T1", "T2", "T3", "T4", "T0"}, {20, 42, 4, 3, 0}, "mm", 0},
        {"altium_inch_lz.drl", {"T01", "T02", "T03"}, {30, 3, 4}, "inch", 0},
        {"eagle_inch_tz.drl", {"T01", "T02"}, {20, 20}, "inch", 0},
        {"metric_tz_pattern.drl", {"T1", "T2"}, {16, 12}, "mm", 0},
        {"incremental.drl", {"T1", "T2"}, {14, 4}, "mm", 0},
        {"repeats.drl", {"T1", "T1", "T1", "T2"}, {3, 2, 1, 2}, "inch", 2},  // repeat codes are walls
        {"header_only.drl", {}, {}, "mm", 0},
        {"duplicates.drl", {"T1"}, {6}, "mm", 0},
        {"headerless.drl", {"T01", "T02"}, {4, 3}, "", 0},
        {"fmat1.drl", {"T1"}, {4}, "inch", 0},
    };
    for (const Case& c : cases) {
        const DrillReading reading = readExcellon(dataFile(c.name));
        ASSERT_EQ(reading.error, "") << c.name;
        EXPECT_EQ(tools(reading.file), c.tools) << c.name;
        EXPECT_EQ(holeCounts(reading.file), c.holes) << c.name;
        EXPECT_EQ(reading.file.unit, c.unit) << c.name;
        std::size_t pinned = 0;
        for (const Hole& hole : reading.file.holes) pinned += hole.pinned ? 1 : 0;
        EXPECT_EQ(pinned, c.pinned) << c.name;
    }
}

TEST(ExcellonReader, ValuesFollowTheFileNumberFormat) {
    struct Case {
        const char* content;
        const char* x;
        const char* y;
        std::int64_t xValue;
        std::int64_t yValue;
    };
    const Case cases[] = {
        {"M48\nINCH,LZ\n%\nT1\nX0127Y-01\nM30\n", "0127", "-01", 1270 * kMilli, -1000 * kMilli},
        {"M48\nINCH,TZ\n%\nT1\nX127Y-1\nM30\n", "127", "-1", 12700000, -100000},
        {"M48\nMETRIC,TZ\n%\nT1\nX12700Y5\nM30\n", "12700", "5", 12700 * kMilli, 5 * kMilli},
        {"M48\nMETRIC,LZ,0000.00\n%\nT1\nX0127Y5\nM30\n", "0127", "5", 127000 * kMilli, 5000000 * kMilli},
        {"M48\n;FILE_FORMAT=4:4\nINCH,LZ\n%\nT1\nX0001Y00005\nM30\n", "0001", "00005", 1000 * kMilli, 500 * kMilli},
        {"M48\nM71\nMETRIC,LZ\n%\nT1\nX1.5Y-.25\nM30\n", "1.5", "-.25", 1500 * kMilli, -250 * kMilli},
        {"%\nT1\nX006272Y001092\nM00\n", "006272", "001092", 627200 * kMilli / 1000, 109200 * kMilli / 1000},
    };
    for (const Case& c : cases) {
        const DrillReading reading = readExcellon(c.content);
        ASSERT_EQ(reading.error, "") << c.content;
        ASSERT_EQ(reading.file.holes.size(), 1u) << c.content;
        const Hole& hole = reading.file.holes.front();
        EXPECT_EQ(hole.x.text, c.x) << c.content;
        EXPECT_EQ(hole.y.text, c.y) << c.content;
        EXPECT_EQ(hole.x.value, c.xValue) << c.content;
        EXPECT_EQ(hole.y.value, c.yValue) << c.content;
        EXPECT_TRUE(hole.verbatim);
    }
}

TEST(ExcellonReader, MissingCoordinateRepeatsThePreviousText) {
    const DrillReading reading = readExcellon("M48\nINCH,LZ\n%\nT1\nX01Y02\nX03\nY04\nT2\nX05\nM30\n");
    ASSERT_EQ(reading.error, "");
    const std::vector<Hole>& holes = reading.file.holes;
    ASSERT_EQ(holes.size(), 4u);
    EXPECT_EQ(holes[1].x.text + "," + holes[1].y.text, "03,02");
    EXPECT_EQ(holes[2].x.text + "," + holes[2].y.text, "03,04");
    // The carried position crosses tool selections.
    EXPECT_EQ(holes[3].x.text + "," + holes[3].y.text, "05,04");
    EXPECT_TRUE(holes[0].verbatim);
    EXPECT_FALSE(holes[1].verbatim);
    EXPECT_FALSE(holes[3].verbatim);
}

TEST(ExcellonReader, IncrementalHolesGetAbsoluteTextsInTheSameStyle) {
    struct Case {
        const char* content;
        std::vector<std::string> holes;  // "x,y" of every hole
    };
    const Case cases[] = {
        {"M48\nMETRIC\n%\nG91\nT1\nX10.5Y2.25\nX-0.5\nY1.0\nX-10.0\nM30\n",
         {"10.5,2.25", "10.0,2.25", "10.0,3.25", "0.0,3.25"}},
        {"M48\nMETRIC,TZ\n%\nG91\nT1\nX100Y200\nX50\nX-150Y-200\nM30\n", {"100,200", "150,200", "0,0"}},
        {"M48\nINCH,LZ\nICI,ON\n%\nT1\nX01Y01\nX01\nM30\n", {"01,01", "02,01"}},
        // Back to absolute: the texts are the file's own again.
        {"M48\nMETRIC\n%\nG91\nT1\nX1.0Y1.0\nG90\nX5.00Y6.00\nM30\n", {"1.0,1.0", "5.00,6.00"}},
    };
    for (const Case& c : cases) {
        const DrillReading reading = readExcellon(c.content);
        ASSERT_EQ(reading.error, "") << c.content;
        std::vector<std::string> holes;
        for (const Hole& hole : reading.file.holes) holes.push_back(hole.x.text + "," + hole.y.text);
        EXPECT_EQ(holes, c.holes) << c.content;
        EXPECT_TRUE(reading.file.incremental) << c.content;
    }
    const DrillReading ici = readExcellon(cases[2].content);
    EXPECT_EQ(ici.file.lines[2].replacement, "ICI,OFF");
    const DrillReading g91 = readExcellon(cases[0].content);
    EXPECT_EQ(g91.file.lines[3].replacement, "G90");
}

TEST(ExcellonReader, SlotsRoutesAndRepeatsAreNotHoles) {
    const char* content =
        "M48\nMETRIC\n%\nT1\nX1.0Y1.0\nX2.0Y2.0G85X4.0Y2.0\nX3.0Y3.0\nG00X5.0Y5.0\nM15\nG01X6.0\n"
        "G03X7.0Y6.0A1.0\nX8.0Y6.0\nM16\nG05\nX9.0Y9.0\nR4X0.5\nX10.0Y10.0\nM30\n";
    const DrillReading reading = readExcellon(content);
    ASSERT_EQ(reading.error, "");
    std::vector<std::string> holes;
    for (const Hole& hole : reading.file.holes) holes.push_back(hole.x.text + "," + hole.y.text + (hole.pinned ? "!" : ""));
    // The route (G00 up to G05) holds no holes; the hole a repeat code starts from stays in place.
    EXPECT_EQ(holes, (std::vector<std::string>{"1.0,1.0", "3.0,3.0", "9.0,9.0!", "10.0,10.0"}));
}

TEST(ExcellonReader, MovesFromTheCurrentPositionPinTheHolesThatGiveIt) {
    struct Case {
        const char* body;
        std::vector<bool> pinned;
    };
    const Case cases[] = {
        {"X1.0Y1.0\nX2.0Y2.0\nG00X5.0\nM15\nG01X6.0Y5.0\nM16\nG05\n", {false, true}},  // G00 takes Y
        // X from the second hole, Y from the third; the first is free, since
        // the second is written back with both coordinates.
        {"X1.0Y1.0\nX2.0\nY3.0\nR2X1.0\n", {false, true, true}},
        {"X1.0Y1.0\nX2.0\nY3.0\nG85X4.0Y4.0\n", {false, true, true}},  // a slot from here
        {"X1.0Y1.0\nX2.0Y2.0\nX3.0Y3.0G85X4.0\n", {false, false}},                     // a slot with its own start
        {"X1.0Y1.0\nG00X5.0Y5.0\nM15\nG01X6.0Y5.0\nM16\nG05\nX7.0\n", {false, false}},
    };
    for (const Case& c : cases) {
        const DrillReading reading = readExcellon(std::string("M48\nMETRIC\n%\nT1\n") + c.body + "M30\n");
        ASSERT_EQ(reading.error, "") << c.body;
        std::vector<bool> pinned;
        for (const Hole& hole : reading.file.holes) pinned.push_back(hole.pinned);
        EXPECT_EQ(pinned, c.pinned) << c.body;
    }
}

TEST(ExcellonReader, RefusesWhatItDoesNotUnderstandNamingTheLine) {
    struct Case {
        const char* content;
        const char* error;
    };
    const Case cases[] = {
        {"M48\nINCH\nFOO,1\n%\n", "line 3: \"FOO,1\": a header statement this reader does not know"},
        {"M48\nINCH,XZ\n%\n", "line 2: \"INCH,XZ\": a unit statement with a part"},
        {"M48\nINCH\n%\nT1\nX1.0Y1.0Z3.0\n", "line 5: \"X1.0Y1.0Z3.0\": a hole with more than X and Y"},
        {"M48\nINCH\n%\nT1\nX1.0X2.0\n", "line 5: \"X1.0X2.0\": a second X in one move"},
        {"M48\nINCH\n%\nT1\nX1.0 Y2.0\n", "line 5: \"X1.0 Y2.0\": not an Excellon statement"},
        {"M48\nINCH\n%\nT1\nx1.0y2.0\n", "line 5: \"x1.0y2.0\": not an Excellon statement"},
        {"M48\nINCH\n%\nT1\nY1.0\n", "line 5: \"Y1.0\": a hole without X, and no earlier X to repeat"},
        {"M48\nINCH\n%\nT1\nX0125Y01\nX9250Y4064\nX12100Y5314\n", "line 6: \"X9250Y4064\": a number that is shorter than the widest number (line 7) and ends in 0"},
        {"M48\nINCH,LZ,00.0000\n%\nT1\nX1234567Y1\n", "line 5: \"X1234567Y1\": a number of 7 digits, more than the 2.4 format of line 2: INCH,LZ,00.0000 allows (--digits"},
        {"M48\nINCH\n%\nG91\nT1\nG93X1.0Y1.0\n", "line 6: \"G93X1.0Y1.0\": a zero set (G93) in incremental mode"},
        {"M48\nINCH\n%\nT1\nG93\n", "line 5: \"G93\": a G code this reader does not know"},
        {"M48\nINCH\n%\nT1\nM97,ABC\n", "line 5: \"M97,ABC\": not an Excellon statement"},
        {"M48\nINCH\n%\nT1\nM02X1.0Y1.0\n", "line 5: \"M02X1.0Y1.0\": a pattern repeat (M02) without a pattern"},
        {"M48\nINCH\n%\nT1\nM25\nX1.0Y1.0\nM31\n", "line 7: \"M31\": a pattern begun inside a pattern"},
        {"M48\nINCH\n%\nT1\nX1.0Y1.0\nM71\n", "line 6: \"M71\": a change of unit after the first coordinate"},
        {"M48\nINCH\n%\nT1\nX1.0Y1.0\nM30\nX2.0Y2.0\n", "line 7: \"X2.0Y2.0\": a statement after the end"},
        {"M48\nM72\nINCH\nMETRIC\n%\n", "line 4: \"METRIC\": a unit statement that disagrees with line 2 (inch); --units inch or --units mm settles it"},
        {"M48\nINCH\n%\nG91\nT1\nX1.0Y1.0G85X2.0Y1.0\n", "line 6: \"X1.0Y1.0G85X2.0Y1.0\": routing or a slot in incremental mode"},
        {"M48\nINCH\n%\nT1\nG85X2.0Y1.0\n", "line 5: \"G85X2.0Y1.0\": a move from a position no earlier line gives"},
        {"M48\nINCH\n%\nT1\nR5X1.0\n", "line 5: \"R5X1.0\": a move from a position no earlier line gives"},
        {"M48\nINCH\n%\nT1\nX1.0Y1.0\nR0X1.0\n", "line 6: \"R0X1.0\": a repeat code without a count"},
        {"M48\nINCH\n%\nT1\nX1.0Y1.0\nX2.0Y2.0G85\n", "line 6: \"X2.0Y2.0G85\": a slot (G85) without an end point"},
        {"M48\nINCH,LZ\n%\nT1\nX01Y01\n;FILE_FORMAT=3:3\nX01Y01\n", "line 6: \";FILE_FORMAT=3:3\": a number format given after"},
        {"M48\nINCH\n%\nT1\nX1.0\"Y1\n", "line 5: \"X1.0\\x22Y1\": not an Excellon statement"},
        {"M48\nM48\n", "line 2: \"M48\": a second M48 inside the header"},
        {"M48\nINCH\n%\nT1\nX99999999999999.Y1.0\n", "more than 9 digits before the decimal point"},
    };
    for (const Case& c : cases) {
        const DrillReading reading = readExcellon(c.content);
        EXPECT_NE(reading.error.find(c.error), std::string::npos) << c.content << "\n  gives: " << reading.error;
        EXPECT_TRUE(reading.file.holes.empty());
    }
}

TEST(ExcellonReader, LongLinesAreRefusedAndCut) {
    const std::string content = "M48\n;" + std::string(5000, 'a') + "\n";
    const DrillReading reading = readExcellon(content);
    EXPECT_EQ(reading.error.substr(0, 11), "line 2: \";a");
    EXPECT_NE(reading.error.find("...\": a line longer than 4096 characters"), std::string::npos);
    EXPECT_LT(reading.error.size(), 150u);
}

TEST(ExcellonReader, KeepsEveryLineWithItsEnd) {
    const std::string content = "M48\r\nINCH\r\n%\nT1\rX1.0Y1.0\r\nM30";
    const DrillReading reading = readExcellon(content);
    ASSERT_EQ(reading.error, "");
    std::string joined;
    for (const DrillLine& line : reading.file.lines) joined += line.text + line.end;
    EXPECT_EQ(joined, content);
    EXPECT_EQ(reading.file.lines.size(), 6u);
}

}  // namespace
