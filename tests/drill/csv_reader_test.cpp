#include "twcycle/drill/csv_reader.h"

#include <gtest/gtest.h>

#include "drill/drill_test_files.h"

namespace {

using namespace twcycle::drill;

std::vector<std::string> holeTexts(const DrillFile& file) {
    std::vector<std::string> texts;
    for (const Hole& hole : file.holes) texts.push_back(file.blocks[hole.block].tool + ":" + hole.x.text + "," + hole.y.text);
    return texts;
}

TEST(CsvReader, ReadsEverySeparatorAndLayout) {
    struct Case {
        const char* content;
        std::vector<std::string> holes;
        std::size_t blocks;
    };
    const Case cases[] = {
        {"x,y\n1.5,2\n-3,4.25\n", {":1.5,2", ":-3,4.25"}, 1},
        {"1.5,2\n3,4\n", {":1.5,2", ":3,4"}, 1},
        {"X;Y;Tool\n1.5;2;T1\n3;4;T2\n5;6;T1\n", {"T1:1.5,2", "T2:3,4", "T1:5,6"}, 2},
        {"1.5\t2\tvia\n3\t4\tlead\n", {"via:1.5,2", "lead:3,4"}, 2},
        {"  1.5   2\n\t3 4  \n", {":1.5,2", ":3,4"}, 1},
        {"x, y, tool\n 1.5 , 2 , T 1 \n", {"T 1:1.5,2"}, 1},
        {"# comment\n\n1,2\n# more\n3,4\n\n", {":1,2", ":3,4"}, 1},
        {"1e1,+2.5E-1\r\n3,4\r\n", {":1e1,+2.5E-1", ":3,4"}, 1},
        {"", {}, 0},
        {"x,y\n", {}, 0},
    };
    for (const Case& c : cases) {
        const DrillReading reading = readCsv(c.content);
        ASSERT_EQ(reading.error, "") << c.content;
        EXPECT_EQ(holeTexts(reading.file), c.holes) << c.content;
        EXPECT_EQ(reading.file.blocks.size(), c.blocks) << c.content;
    }
}

TEST(CsvReader, ValuesAreThoseOfTheTexts) {
    const DrillReading reading = readCsv("1e1,+2.5E-1\n-0.001,123456.789\n");
    ASSERT_EQ(reading.error, "");
    EXPECT_EQ(reading.file.holes[0].x.value, 10000000000);
    EXPECT_EQ(reading.file.holes[0].y.value, 250000000);
    EXPECT_EQ(reading.file.holes[1].x.value, -1000000);
    EXPECT_EQ(reading.file.holes[1].y.value, 123456789000000);
}

TEST(CsvReader, DataFilesGroupByTool) {
    const DrillReading reading = drill_test::readDataFile("holes.csv");
    ASSERT_EQ(reading.error, "");
    ASSERT_EQ(reading.file.blocks.size(), 3u);
    std::size_t holes = 0;
    for (const ToolBlock& block : reading.file.blocks) {
        for (std::size_t hole : block.holes) EXPECT_EQ(reading.file.holes[hole].block, &block - &reading.file.blocks[0]);
        holes += block.holes.size();
    }
    EXPECT_EQ(holes, 44u);
}

TEST(CsvReader, RefusesWhatItDoesNotUnderstandNamingTheLine) {
    struct Case {
        const char* content;
        const char* error;
    };
    const Case cases[] = {
        {"x,y\n1,2\n3\n", "line 3: \"3\": a row that is not x,y or x,y,tool"},
        {"1,2,3,4\n", "line 1: \"1,2,3,4\": a row that is not x,y or x,y,tool"},
        {"1,2\n3,4,T1\n", "line 2: \"3,4,T1\": a row with a tool in a file whose rows have none"},
        {"1,2,T1\n3,4\n", "line 2: \"3,4\": a row without a tool"},
        {"x;y\n1,5;2\n", "line 2: \"1,5;2\": a coordinate that is not a number with '.'"},
        {"x,y\n1,abc\n", "line 2: \"1,abc\": a coordinate that is not a number"},
        {"x,y\ny,x\n", "line 2: \"y,x\": a coordinate that is not a number"},
        {"1,0x10\n", "a coordinate that is not a number"},
        {"1,nan\n", "a coordinate that is not a number"},
        {"1,1e400\n", "line 1: \"1,1e400\": a coordinate beyond the range"},
        {"1,2e9\n", "a coordinate beyond the range"},
        {"1,2\n1,\n", "line 2: \"1,\": a coordinate that is not a number"},
    };
    for (const Case& c : cases) {
        const DrillReading reading = readCsv(c.content);
        EXPECT_NE(reading.error.find(c.error), std::string::npos) << c.content << "\n  gives: " << reading.error;
    }
}

}  // namespace

namespace {

TEST(CsvReader, DecimalTextsGetTheirExactValue) {
    using namespace twcycle::drill;
    const DrillReading reading = readCsv("0.1,0.7\n123456789.123456789,-98765432.987654321\n12,+3\n1e3,2.5E-1\n");
    ASSERT_EQ(reading.error, "");
    std::vector<std::string> values;
    for (const Hole& hole : reading.file.holes) values.push_back(exactDecimal(hole.x) + "," + exactDecimal(hole.y));
    EXPECT_EQ(values, (std::vector<std::string>{"0.1,0.7", "123456789.123456789,-98765432.987654321", "12,3",
                                                "1000,0.25"}));
    EXPECT_EQ(reading.file.blocks.front().line, 0u);
}

}  // namespace
