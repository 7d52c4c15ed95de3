// The forms design tools write (tests/data/drill/form_*), the walls no hole
// moves across, and the zero sets.
#include "twcycle/drill/excellon_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "drill/drill_test_files.h"
#include "twcycle/drill/drill_writer.h"
#include "twcycle/drill/hole_check.h"

namespace {

using namespace twcycle::drill;
using drill_test::dataFile;

constexpr std::int64_t kMilli = 1000000;  // 0.001 in the fixed-point values

TEST(ExcellonForms, EveryWritersFormIsReadWithItsBlocks) {
    struct Case {
        const char* name;
        std::vector<std::string> tools;  // of every block
        std::vector<std::size_t> holes;  // of every block
        const char* unit;
        ZeroMode zeros;
        const char* digits;
        std::size_t pinned;
    };
    const ZeroMode lz = ZeroMode::Leading;
    const ZeroMode tz = ZeroMode::Trailing;
    const Case cases[] = {
        {"form_allegro_m00.drl", {"", ""}, {4, 3}, "", lz, "3.5", 0},  // M00 stops instead of T codes
        {"form_allegro_route.rou", {"T01"}, {3}, "inch", lz, "2.4", 0},
        {"form_cam350_repeat.drl", {"T01", "T01"}, {1, 2}, "inch", lz, "5.5", 1},
        {"form_drd_trailing.drl", {"T01"}, {4}, "inch", tz, "2.4", 0},
        {"form_eagle_percent.drl", {"T01", "T02"}, {3, 2}, "mm", tz, "3.3", 0},
        {"form_header_forms.drl", {"T1", "T2"}, {3, 2}, "inch", lz, "2.4", 0},
        {"form_mentor_g93.drl", {"T01", "T01", "T02"}, {3, 2, 1}, "inch", tz, "2.4", 0},
        {"form_mentor_restated.drl", {"T01"}, {3}, "inch", tz, "2.4", 0},
        {"form_pads_leading.drl", {"T01"}, {4}, "", lz, "2.4", 0},
        {"form_pattern.drl", {"T1", "T1", "T1"}, {2, 2, 2}, "mm", lz, "3.3", 2},
        {"form_reselected_tool.drl", {"T1", "T2", "T1"}, {2, 1, 2}, "mm", tz, "3.3", 0},
        {"form_signs_dots.drl", {"T1"}, {4}, "inch", ZeroMode::Unknown, "2.4", 0},
        {"form_upverter_m71tz.drl", {"T1"}, {3}, "mm", tz, "3.3", 0},
        {"form_veribest_reset.drl", {"T1"}, {3}, "inch", lz, "2.4", 0},
    };
    for (const Case& c : cases) {
        const DrillReading reading = readExcellon(dataFile(c.name));
        ASSERT_EQ(reading.error, "") << c.name;
        const DrillFile& file = reading.file;
        std::vector<std::string> tools;
        std::vector<std::size_t> holes;
        for (const ToolBlock& block : file.blocks) {
            tools.push_back(block.tool);
            holes.push_back(block.holes.size());
        }
        EXPECT_EQ(tools, c.tools) << c.name;
        EXPECT_EQ(holes, c.holes) << c.name;
        EXPECT_EQ(file.unit, c.unit) << c.name;
        EXPECT_EQ(file.numbers.zeros, c.zeros) << c.name;
        EXPECT_EQ(digitsText(file.numbers), c.digits) << c.name;
        EXPECT_EQ(std::count_if(file.holes.begin(), file.holes.end(), [](const Hole& h) { return h.pinned; }),
                  static_cast<std::ptrdiff_t>(c.pinned))
            << c.name;
    }
}

TEST(ExcellonForms, WideNumbersAndSignsReadToTheirValues) {
    struct Case {
        const char* name;
        std::size_t hole;
        std::string x;  // exact decimal texts in the file's unit
        std::string y;
    };
    const Case cases[] = {
        {"form_allegro_m00.drl", 0, "1.305", "1.845"},           // 3.5, leading zeros kept
        {"form_cam350_repeat.drl", 0, "-0.5385", "0.54"},        // 5.5
        {"form_drd_trailing.drl", 0, "0.925", "0.4064"},         // 2.4, trailing zeros kept
        {"form_pads_leading.drl", 2, "0.3611", "0.14"},
        {"form_signs_dots.drl", 0, "6", "-3.2283"},              // X+6.
        {"form_signs_dots.drl", 2, "1.5", "-1"},                 // Y only: X carried
        {"form_mentor_g93.drl", 3, "1.1", "0.1"},                // after G93X10000Y0
        {"form_upverter_m71tz.drl", 1, "2.54", "12.7"},
    };
    for (const Case& c : cases) {
        const DrillReading reading = readExcellon(dataFile(c.name));
        ASSERT_EQ(reading.error, "") << c.name;
        ASSERT_LT(c.hole, reading.file.holes.size()) << c.name;
        const Hole& hole = reading.file.holes[c.hole];
        EXPECT_EQ(exactDecimal(hole.x), c.x) << c.name;
        EXPECT_EQ(exactDecimal(hole.y), c.y) << c.name;
    }
    EXPECT_EQ(exactDecimal(-500 * kMilli / 1000), "-0.0005");
    EXPECT_EQ(exactDecimal(std::int64_t{0}), "0");
    EXPECT_EQ(exactDecimal(std::int64_t{-999999999999999999}), "-999999999.999999999");
}

// For every wall in `body`, the blocks: the line numbers (from 1, after the
// four header lines) of each block's holes.
TEST(ExcellonForms, HolesNeverCrossAWall) {
    struct Case {
        const char* body;
        std::vector<std::vector<std::size_t>> blocks;
    };
    const Case cases[] = {
        {"T1\nX1.0Y1.0\nX2.0Y2.0\nM00\nX3.0Y3.0\nX4.0Y4.0\n", {{5, 6}, {8, 9}}},              // stop
        {"T1\nX1.0Y1.0\nX2.0Y2.0\nM01\nX3.0Y3.0\nM06\nX4.0Y4.0\nM09\nX5.0Y5.0\n", {{5, 6}, {8}, {10}, {12}}},
        {"T1\nX1.0Y1.0\nT2\nX2.0Y2.0\nT1\nX3.0Y3.0\nX4.0Y4.0\n", {{5}, {7}, {9, 10}}},       // re-selected tool
        {"T1\nX1.0Y1.0\nX2.0Y2.0\nR2X0.5\nX3.0Y3.0\nX4.0Y4.0\n", {{5, 6}, {8, 9}}},          // repeat code
        {"T1\nX1.0Y1.0\nX2.0Y2.0\nG93X5.0Y0\nX3.0Y3.0\nX4.0Y4.0\n", {{5, 6}, {8, 9}}},       // zero set
        {"T1\nX1.0Y1.0\nX2.0Y2.0G85X3.0Y2.0\nX3.0Y3.0\n", {{5}, {7}}},                        // slot
        {"T1\nX1.0Y1.0\nG00X5.0Y5.0\nM15\nG01X6.0\nM16\nG05\nX3.0Y3.0\n", {{5}, {11}}},        // route
        {"T1\nX1.0Y1.0\nM48\n%\nX3.0Y3.0\n", {{5}, {8}}},                                     // header restated
        {"T1\nX1.0Y1.0\nM25\nX2.0Y2.0\nM01\nM02X1.0Y0\nM08\nX3.0Y3.0\n", {{5}, {7}, {11}}},  // pattern
        {"T1\nX1.0Y1.0\nG05\nX2.0Y2.0\n", {{5}, {7}}},
    };
    for (const Case& c : cases) {
        const std::string content = std::string("M48\nMETRIC\n%\n") + c.body + "M30\n";
        const DrillReading reading = readExcellon(content);
        ASSERT_EQ(reading.error, "") << c.body;
        std::vector<std::vector<std::size_t>> blocks;
        for (const ToolBlock& block : reading.file.blocks) {
            if (block.holes.empty()) continue;
            blocks.emplace_back();
            for (std::size_t hole : block.holes) blocks.back().push_back(reading.file.holes[hole].line + 1);
        }
        EXPECT_EQ(blocks, c.blocks) << c.body;
        // Reversed within every block, each hole stays between the same walls.
        HoleOrder order = fileOrder(reading.file);
        for (std::vector<std::size_t>& block : order) std::reverse(block.begin(), block.end());
        const std::optional<std::string> written = writeDrillFile(reading.file, order);
        ASSERT_TRUE(written.has_value()) << c.body;
        const DrillReading again = readExcellon(*written);
        ASSERT_EQ(again.error, "") << c.body;
        EXPECT_EQ(compareDrillFiles(reading.file, again.file), "") << c.body;
    }
}

TEST(ExcellonForms, TheReadBackCheckSeesAHoleMovedAcrossAWall) {
    const DrillReading reading = readExcellon("M48\nMETRIC\n%\nT1\nX1.0Y1.0\nM00\nX2.0Y2.0\nM30\n");
    ASSERT_EQ(reading.error, "");
    const DrillReading crossed = readExcellon("M48\nMETRIC\n%\nT1\nX2.0Y2.0\nM00\nX1.0Y1.0\nM30\n");
    ASSERT_EQ(crossed.error, "");
    EXPECT_NE(compareDrillFiles(reading.file, crossed.file), "");
}

TEST(ExcellonForms, ByteOrderMarkAndUnitsOption) {
    const DrillReading marked = readExcellon("\xEF\xBB\xBF%\nM48\nMETRIC\n%\nT1\nX1.0Y1.0\nM30\n");
    ASSERT_EQ(marked.error, "");
    EXPECT_EQ(marked.file.lines[0].text, "\xEF\xBB\xBF%");  // written back as it stands
    EXPECT_EQ(marked.file.unit, "mm");

    ExcellonOptions mm;
    mm.unit = "mm";
    const DrillReading headerless = readExcellon(dataFile("form_pads_leading.drl"), mm);
    ASSERT_EQ(headerless.error, "");
    EXPECT_EQ(headerless.file.unit, "mm");
    EXPECT_EQ(headerless.file.unitOrigin, "--units");
    EXPECT_EQ(digitsText(headerless.file.numbers), "3.3");  // the mm default

    // Two statements that disagree: --units settles it, with a note.
    const std::string twoUnits = "M48\nM72\nMETRIC\n%\nT1\nX1.0Y1.0\nM30\n";
    EXPECT_NE(readExcellon(twoUnits).error.find("--units inch or --units mm settles it"), std::string::npos);
    const DrillReading settled = readExcellon(twoUnits, mm);
    ASSERT_EQ(settled.error, "");
    EXPECT_EQ(settled.file.unit, "mm");
    ASSERT_EQ(settled.file.notes.size(), 1u);
    EXPECT_NE(settled.file.notes[0].find("line 2: \"M72\": the file says inch; read in mm"), std::string::npos);
}

TEST(ExcellonForms, ReadingOptionsReadTheWrittenFileTheSameWay) {
    for (const char* name : drill_test::kDataFiles) {
        if (drill_test::isCsvName(name)) continue;
        const DrillReading reading = readExcellon(dataFile(name));
        ASSERT_EQ(reading.error, "") << name;
        const DrillReading again = readExcellon(dataFile(name), readingOptions(reading.file));
        ASSERT_EQ(again.error, "") << name;
        EXPECT_EQ(compareDrillFiles(reading.file, again.file), "") << name;
        EXPECT_EQ(again.file.unit, reading.file.unit) << name;
    }
}

}  // namespace
