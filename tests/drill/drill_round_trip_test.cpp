#include "twcycle/drill/drill_writer.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "drill/drill_test_files.h"
#include "twcycle/drill/hole_check.h"

namespace {

using namespace twcycle::drill;
using drill_test::kDataFiles;
using drill_test::readAs;
using drill_test::readDataFile;

HoleOrder reversed(const DrillFile& file) {
    HoleOrder order = fileOrder(file);
    for (std::vector<std::size_t>& block : order) std::reverse(block.begin(), block.end());
    return order;
}

TEST(DrillRoundTrip, ReversedOrderKeepsEveryHoleOfEveryFile) {
    for (const char* name : kDataFiles) {
        const DrillReading reading = readDataFile(name);
        ASSERT_EQ(reading.error, "") << name;
        const std::optional<std::string> written = writeDrillFile(reading.file, reversed(reading.file));
        ASSERT_TRUE(written.has_value()) << name;
        const DrillReading again = readAs(reading.file.format, *written);
        ASSERT_EQ(again.error, "") << name;
        EXPECT_EQ(compareDrillFiles(reading.file, again.file), "") << name;
        EXPECT_EQ(again.file.holes.size(), reading.file.holes.size()) << name;
        // Only hole lines move: every other line stands where it stood.
        ASSERT_EQ(again.file.lines.size(), reading.file.lines.size()) << name;
        for (std::size_t i = 0; i < reading.file.lines.size(); ++i) {
            const DrillLine& before = reading.file.lines[i];
            const DrillLine& after = again.file.lines[i];
            EXPECT_EQ(after.end, before.end) << name << " line " << i + 1;
            EXPECT_EQ(after.hole < 0, before.hole < 0) << name << " line " << i + 1;
            if (before.hole < 0) {
                EXPECT_EQ(after.text, before.replacement.empty() ? before.text : before.replacement)
                    << name << " line " << i + 1;
            }
        }
    }
}

TEST(DrillRoundTrip, OwnOrderWritesTheFileUnchanged) {
    // Files whose holes all give both coordinates absolutely, and CSV files
    // without a tool column or with one tool after the other.
    for (const char* name : {"kicad_metric.drl", "eagle_inch_tz.drl", "metric_tz_pattern.drl", "duplicates.drl",
                             "headerless.drl", "header_only.drl", "holes_semicolon.csv", "holes_blank.txt"}) {
        const DrillReading reading = readDataFile(name);
        ASSERT_EQ(reading.error, "") << name;
        EXPECT_EQ(writeDrillFile(reading.file, fileOrder(reading.file)), drill_test::dataFile(name)) << name;
    }
}

TEST(DrillRoundTrip, CsvFileWithMixedToolsIsWrittenGrouped) {
    const DrillReading reading = readDataFile("holes_tab.txt");
    ASSERT_EQ(reading.error, "");
    const std::string written = writeDrillFile(reading.file, fileOrder(reading.file)).value_or("");
    const std::size_t lastLead = written.rfind("\tlead\n");
    const std::size_t firstVia = written.find("\tvia\n");
    ASSERT_NE(lastLead, std::string::npos);
    EXPECT_LT(lastLead, firstVia);  // the tool that came first, then the next
    EXPECT_EQ(written.size(), drill_test::dataFile("holes_tab.txt").size());
}

TEST(DrillRoundTrip, HolesTakeNewPlacesInTheirOwnBlockOnly) {
    const DrillReading reading = readExcellon("M48\nMETRIC\n%\nT1\nX1.0Y1.0\nX2.0Y2.0\nT2\nX3.0Y3.0\nX4.0Y4.0\nM30\n");
    ASSERT_EQ(reading.error, "");
    EXPECT_EQ(writeDrillFile(reading.file, HoleOrder{{1, 0}, {3, 2}}),
              "M48\nMETRIC\n%\nT1\nX2.0Y2.0\nX1.0Y1.0\nT2\nX4.0Y4.0\nX3.0Y3.0\nM30\n");
    // Orders that are not a new order of the same holes write nothing.
    EXPECT_FALSE(writeDrillFile(reading.file, HoleOrder{{2, 0}, {1, 3}}));  // across blocks
    EXPECT_FALSE(writeDrillFile(reading.file, HoleOrder{{0, 0}, {2, 3}}));  // a hole twice
    EXPECT_FALSE(writeDrillFile(reading.file, HoleOrder{{0}, {2, 3}}));     // one lost
    EXPECT_FALSE(writeDrillFile(reading.file, HoleOrder{{0, 1}}));          // a block lost
    EXPECT_FALSE(writeDrillFile(reading.file, HoleOrder{{0, 7}, {2, 3}}));  // no such hole
}

TEST(DrillRoundTrip, HoleThatLeftOutACoordinateGetsBothInTheTextsThatSetThem) {
    const DrillReading reading = readExcellon("M48\nINCH,LZ\n%\nT1\nX01Y02\nX03\nY04\nM30\n");
    ASSERT_EQ(reading.error, "");
    EXPECT_EQ(writeDrillFile(reading.file, HoleOrder{{2, 1, 0}}),
              "M48\nINCH,LZ\n%\nT1\nX03Y04\nX03Y02\nX01Y02\nM30\n");
}

TEST(DrillRoundTrip, IncrementalFileIsWrittenAbsolute) {
    const DrillReading reading = readExcellon("M48\nMETRIC\n%\nG91\nT1\nX10.5Y2.25\nX-0.5\nY1.0\nM30\n");
    ASSERT_EQ(reading.error, "");
    EXPECT_EQ(writeDrillFile(reading.file, HoleOrder{{2, 0, 1}}),
              "M48\nMETRIC\n%\nG90\nT1\nX10.0Y3.25\nX10.5Y2.25\nX10.0Y2.25\nM30\n");
    const DrillReading ici = readExcellon("M48\nINCH,TZ\nICI,ON\n%\nT1\nX100Y100\nX100\nM30\n");
    ASSERT_EQ(ici.error, "");
    EXPECT_EQ(writeDrillFile(ici.file, HoleOrder{{1, 0}}), "M48\nINCH,TZ\nICI,OFF\n%\nT1\nX200Y100\nX100Y100\nM30\n");
}

TEST(DrillRoundTrip, RepeatsAndRoutesStayWithTheHolesTheyStartFrom) {
    const DrillReading reading = readDataFile("repeats.drl");
    ASSERT_EQ(reading.error, "");
    const std::optional<std::string> written = writeDrillFile(reading.file, reversed(reading.file));
    ASSERT_TRUE(written.has_value());
    EXPECT_EQ(*written,
              "M48\nINCH,LZ\nT1C0.035\nT2C0.125\n%\nT1\nX03Y01\nX005Y005\nX01Y03\nR7X001\nX04Y04\nX02Y02\nR3Y001\n"
              "X035Y015\nT2\nX035Y025\nX001Y001\nM30\n");
}

TEST(DrillRoundTrip, CsvRowsAreGroupedByToolInTheirOwnText) {
    const DrillReading reading = readCsv("x;y;tool\n1.5;2;A\n3;4;B\n\n5;6;A\n");
    ASSERT_EQ(reading.error, "");
    ASSERT_EQ(reading.file.blocks.size(), 2u);
    EXPECT_EQ(writeDrillFile(reading.file, HoleOrder{{2, 0}, {1}}), "x;y;tool\n5;6;A\n1.5;2;A\n\n3;4;B\n");
}

TEST(HoleCheck, FindsWhatDiffers) {
    const DrillReading base = readExcellon("M48\nMETRIC\n%\nT1\nX1.0Y1.0\nX2.0Y2.0\nT2\nX1.0Y1.0\nM30\n");
    struct Case {
        const char* written;
        const char* difference;
    };
    const Case cases[] = {
        {"M48\nMETRIC\n%\nT1\nX2.0Y2.0\nX1.0Y1.0\nT2\nX1.0Y1.0\nM30\n", ""},
        {"M48\nMETRIC\n%\nT1\nX2.0Y2.0\nX2.0Y2.0\nT2\nX1.0Y1.0\nM30\n", "lacks the hole T1 at 1.0, 1.0"},
        {"M48\nMETRIC\n%\nT1\nX2.0Y2.0\nX1.00Y1.0\nT2\nX1.0Y1.0\nM30\n", "lacks the hole T1 at 1.0, 1.0"},
        {"M48\nMETRIC\n%\nT1\nX2.0Y2.0\nT2\nX1.0Y1.0\nX1.0Y1.0\nM30\n", "lacks the hole T1 at 1.0, 1.0"},
        {"M48\nMETRIC\n%\nT1\nX2.0Y2.0\nX1.0Y1.0\nT2\nX1.0Y1.0\nX3.0Y1.0\nM30\n", "holds a hole the input does not: T2 at 3.0"},
        {"M48\nMETRIC\n%\nT1\nX2.0Y2.0\nX1.0Y1.0\nT2\nX1.0Y1.0\nM00\n", "the lines between the holes are not those"},
        {"M48\nMETRIC\n%\nT1\nX2.0Y2.0\nX1.0Y1.0\nT2\nX1.0Y1.0\nM30", "the lines between the holes are not those"},
    };
    for (const Case& c : cases) {
        const DrillReading written = readExcellon(c.written);
        ASSERT_EQ(written.error, "") << c.written;
        const std::string difference = compareDrillFiles(base.file, written.file);
        if (std::string(c.difference).empty()) {
            EXPECT_EQ(difference, "") << c.written;
        } else {
            EXPECT_NE(difference.find(c.difference), std::string::npos) << c.written << "\n  gives: " << difference;
        }
    }
    // The same texts read in another number format are other places.
    const DrillReading lz = readExcellon("M48\nINCH,LZ\n%\nT1\nX01Y01\nM30\n");
    const DrillReading tz = readExcellon("M48\nINCH,LZ\n%\nT1\nX01Y01\nM30\n");
    EXPECT_EQ(compareDrillFiles(lz.file, tz.file), "");
    DrillFile moved = tz.file;
    moved.holes[0].x.value += 1;
    EXPECT_NE(compareDrillFiles(lz.file, moved), "");
}

}  // namespace
