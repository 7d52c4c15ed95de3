#include "twcycle/drill/drill_options.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using namespace twcycle::drill;

DrillOptions parse(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), "drill");
    std::vector<char*> vector;
    for (std::string& argument : arguments) vector.push_back(argument.data());
    return parseDrillOptions(static_cast<int>(vector.size()), vector.data());
}

TEST(DrillOptions, ReadsEveryOption) {
    const DrillOptions options = parse({"board.drl", "-o", "out.drl", "--algorithm", "extendedB", "--start",
                                        "1.5, -2", "--svg", "p.svg", "--format", "csv", "--quiet", "--module", "m.so"});
    EXPECT_EQ(options.error, "");
    EXPECT_EQ(options.input, "board.drl");
    EXPECT_EQ(options.output, "out.drl");
    EXPECT_EQ(options.algorithm, "extendedB");
    EXPECT_EQ(options.startX, "1.5");
    EXPECT_EQ(options.startY, "-2");
    EXPECT_EQ(options.svgFile, "p.svg");
    EXPECT_EQ(options.format, DrillFormat::Csv);
    EXPECT_TRUE(options.quiet);
    EXPECT_EQ(options.modulePath, "m.so");
    const DrillOptions defaults = parse({"board.drl"});
    EXPECT_EQ(defaults.algorithm, "nearOptimal");
    EXPECT_EQ(defaults.startX + "," + defaults.startY, "0,0");
    EXPECT_FALSE(defaults.format.has_value());
}

TEST(DrillOptions, WrongCommandLinesSayWhy) {
    struct Case {
        std::vector<std::string> arguments;
        const char* error;
    };
    const Case cases[] = {
        {{}, "drill needs an input file"},
        {{"a.drl", "b.drl"}, "drill takes one input file"},
        {{"a.drl", "-o"}, "-o needs a value"},
        {{"a.drl", "-o", ""}, "-o needs a value"},
        {{"a.drl", "--algorithm", "fastest"}, "unknown algorithm fastest"},
        {{"a.drl", "--start", "1"}, "--start needs two numbers X,Y"},
        {{"a.drl", "--start", "1,y"}, "--start needs two numbers X,Y"},
        {{"a.drl", "--start", "inf,0"}, "--start needs two numbers X,Y"},
        {{"a.drl", "--start", "1,2,3"}, "--start needs two numbers X,Y"},
        {{"a.drl", "--format", "gerber"}, "--format is excellon or csv"},
        {{"a.drl", "--fast"}, "unknown option --fast"},
        {{"a.drl", "--zeros", "LZ"}, "--zeros is leading (the file keeps leading zeros) or trailing"},
        {{"a.drl", "--zeros"}, "--zeros needs a value"},
        {{"a.drl", "--digits", "2:4"}, "--digits needs I.D"},
        {{"a.drl", "--digits", "24"}, "--digits needs I.D"},
        {{"a.drl", "--units", "metric"}, "--units is inch or mm"},
    };
    for (const Case& c : cases) {
        const std::string error = parse(c.arguments).error;
        EXPECT_EQ(error.substr(0, std::string(c.error).size()), c.error);
    }
    EXPECT_TRUE(parse({"--help"}).help);
}

TEST(DrillOptions, NumberUnitAndCheckOptions) {
    const DrillOptions options =
        parse({"board.drl", "--zeros", "trailing", "--digits", "3.5", "--units", "mm", "--check"});
    EXPECT_EQ(options.error, "");
    EXPECT_EQ(options.excellon.numbers.zeros, ZeroMode::Trailing);
    ASSERT_TRUE(options.excellon.numbers.digits.has_value());
    EXPECT_EQ(digitsText(*options.excellon.numbers.digits), "3.5");
    EXPECT_EQ(options.excellon.unit, "mm");
    EXPECT_TRUE(options.check);
    EXPECT_EQ(parse({"board.drl", "--zeros", "leading"}).excellon.numbers.zeros, ZeroMode::Leading);
    const DrillOptions defaults = parse({"board.drl"});
    EXPECT_FALSE(defaults.excellon.numbers.zeros.has_value());
    EXPECT_FALSE(defaults.excellon.numbers.digits.has_value());
    EXPECT_EQ(defaults.excellon.unit, "");
    EXPECT_FALSE(defaults.check);
    // The help says why nearOptimal is the default.
    EXPECT_NE(drillUsage().find("nearOptimal (default: within about 1 %"), std::string::npos);
}

TEST(DrillOptions, SortedNameGoesBeforeTheExtension) {
    struct Case {
        const char* input;
        const char* output;
    };
    const Case cases[] = {
        {"board.drl", "board_sorted.drl"},   {"dir.v2/board", "dir.v2/board_sorted"},
        {"a/b/holes.csv", "a/b/holes_sorted.csv"}, {"board.tar.drl", "board.tar_sorted.drl"},
        {".drill", ".drill_sorted"},         {"x.", "x_sorted."},
    };
    for (const Case& c : cases) EXPECT_EQ(sortedName(c.input), c.output);
}

TEST(DrillOptions, FormatFollowsTheExtensionOrTheFirstStatement) {
    struct Case {
        const char* name;
        const char* content;
        DrillFormat format;
    };
    const Case cases[] = {
        {"holes.CSV", "M48\n", DrillFormat::Csv},
        {"holes.tsv", "T01\n", DrillFormat::Csv},
        {"board.txt", "M48\nINCH\n", DrillFormat::Excellon},
        {"board.txt", "; drill file\n\n%\nT01\n", DrillFormat::Excellon},
        {"board.txt", "T01\nX006272Y001092\n", DrillFormat::Excellon},
        {"board.drl", "X1.0Y2.0\n", DrillFormat::Excellon},
        {"holes.txt", "# holes\nx,y\n1,2\n", DrillFormat::Csv},
        {"holes.txt", "X;Y\n", DrillFormat::Csv},
        {"holes", "  1.5  2.5\n", DrillFormat::Csv},
        {"holes", "", DrillFormat::Excellon},
        {"board.txt", "\xEF\xBB\xBF%\nM48\n", DrillFormat::Excellon},  // a byte order mark first
        {"board.txt", "%\r\nM48\r\n", DrillFormat::Excellon},
        {"board.txt", "%EAGLE\n", DrillFormat::Excellon},
    };
    for (const Case& c : cases) EXPECT_EQ(guessFormat(c.name, c.content), c.format) << c.name << ": " << c.content;
}

}  // namespace
