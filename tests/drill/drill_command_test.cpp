// "twcycle drill" run as a user runs it, on the files of tests/data/drill.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "drill/drill_test_files.h"
#include "twcycle/drill/hole_check.h"
#include "twcycle/host_run_fixture.h"

namespace {

using namespace twcycle::drill;
using twcycle_test::JobFolder;
using twcycle_test::tableLines;

// The "total" line's input and optimized lengths.
std::pair<double, double> totals(const std::string& out) {
    const std::vector<std::vector<std::string>> lines = tableLines(out, "total");
    if (lines.size() != 1 || lines[0].size() < 4) return {-1.0, -1.0};
    return {std::atof(lines[0][2].c_str()), std::atof(lines[0][3].c_str())};
}

TEST(DrillCommand, OrdersEveryDialectEndToEndKeepingEveryHole) {
    for (const char* name : drill_test::kDataFiles) {
        const std::string file = name;
        const JobFolder folder;
        const std::string content = drill_test::dataFile(file);
        folder.write(file, content);
        const twcycle_test::HostOutcome outcome = folder.run({"drill", file, "-o", "out"});
        ASSERT_EQ(outcome.status, 0) << file << "\n" << outcome.err;
        const DrillReading input = drill_test::readDataFile(file);
        const DrillReading output = drill_test::readAs(input.file.format, folder.read("out"));
        ASSERT_EQ(output.error, "") << file;
        EXPECT_EQ(compareDrillFiles(input.file, output.file), "") << file;
        EXPECT_EQ(folder.read("out").size() >= content.size() - 8, true) << file;
        if (input.file.holes.empty()) {
            EXPECT_NE(outcome.out.find("no holes to order"), std::string::npos) << file;
            EXPECT_EQ(folder.read("out"), content);
            continue;
        }
        const auto [inputLength, ordered] = totals(outcome.out);
        EXPECT_GT(inputLength, 0.0) << file << "\n" << outcome.out;
        EXPECT_LE(ordered, inputLength) << file << "\n" << outcome.out;
        EXPECT_FALSE(folder.exists("out.twcycle-pending"));
    }
}

TEST(DrillCommand, DefaultOutputNameAndTheTable) {
    const JobFolder folder;
    folder.write("board.drl", drill_test::dataFile("kicad_metric.drl"));
    const twcycle_test::HostOutcome outcome = folder.run({"drill", "board.drl", "--algorithm", "extendedB"});
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_TRUE(folder.exists("board_sorted.drl"));
    EXPECT_NE(outcome.out.find("board.drl -> board_sorted.drl: 4 blocks, 69 holes, lengths in mm"),
              std::string::npos)
        << outcome.out;
    const std::vector<std::vector<std::string>> t2 = tableLines(outcome.out, "T2");
    ASSERT_EQ(t2.size(), 1u) << outcome.out;
    EXPECT_EQ(t2[0][1], "42");
    EXPECT_EQ(outcome.err, "");
    // Only the holes moved: the header is unchanged.
    const std::string input = folder.read("board.drl");
    const std::size_t header = input.find("G05\nT1\n");
    ASSERT_NE(header, std::string::npos);
    EXPECT_EQ(folder.read("board_sorted.drl").substr(0, header), input.substr(0, header));
}

TEST(DrillCommand, OutputMayReplaceTheInput) {
    const JobFolder folder;
    const std::string content = drill_test::dataFile("eagle_inch_tz.drl");
    folder.write("board.drl", content);
    const twcycle_test::HostOutcome outcome = folder.run({"drill", "board.drl", "-o", "board.drl", "--quiet"});
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_EQ(outcome.out, "");
    const std::string written = folder.read("board.drl");
    EXPECT_NE(written, content);
    EXPECT_EQ(written.size(), content.size());
    const DrillReading input = readExcellon(content);
    EXPECT_EQ(compareDrillFiles(input.file, readExcellon(written).file), "");
}

TEST(DrillCommand, StartPointChangesTheFirstMove) {
    const JobFolder folder;
    folder.write("a.drl", "M48\nMETRIC\n%\nT1\nX0.0Y0.0\nX100.0Y0.0\nM30\n");
    ASSERT_EQ(folder.run({"drill", "a.drl", "-o", "near.drl", "--start", "100,0"}).status, 0);
    EXPECT_EQ(folder.read("near.drl"), "M48\nMETRIC\n%\nT1\nX100.0Y0.0\nX0.0Y0.0\nM30\n");
    ASSERT_EQ(folder.run({"drill", "a.drl", "-o", "far.drl"}).status, 0);
    EXPECT_EQ(folder.read("far.drl"), "M48\nMETRIC\n%\nT1\nX0.0Y0.0\nX100.0Y0.0\nM30\n");
}

TEST(DrillCommand, EachToolStartsWhereThePreviousEnded) {
    const JobFolder folder;
    folder.write("a.drl", "M48\nMETRIC\n%\nT1\nX0.0Y0.0\nX50.0Y0.0\nT2\nX0.0Y1.0\nX50.0Y1.0\nM30\n");
    ASSERT_EQ(folder.run({"drill", "a.drl", "-o", "b.drl"}).status, 0);
    EXPECT_EQ(folder.read("b.drl"), "M48\nMETRIC\n%\nT1\nX0.0Y0.0\nX50.0Y0.0\nT2\nX50.0Y1.0\nX0.0Y1.0\nM30\n");
}

TEST(DrillCommand, NotesForIncrementalFilesAndHolesKeptInPlace) {
    const JobFolder folder;
    folder.write("inc.drl", drill_test::dataFile("incremental.drl"));
    folder.write("rep.drl", drill_test::dataFile("repeats.drl"));
    const twcycle_test::HostOutcome incremental = folder.run({"drill", "inc.drl", "--quiet"});
    EXPECT_EQ(incremental.status, 0);
    EXPECT_NE(incremental.err.find("gives incremental coordinates (G91); inc_sorted.drl is written with absolute"),
              std::string::npos)
        << incremental.err;
    EXPECT_NE(folder.read("inc_sorted.drl").find("\nG90\n"), std::string::npos);
    const twcycle_test::HostOutcome repeats = folder.run({"drill", "rep.drl"});
    EXPECT_EQ(repeats.status, 0);
    EXPECT_NE(repeats.err.find("2 holes stay in place"), std::string::npos) << repeats.err;
}

TEST(DrillCommand, CsvAndPicture) {
    const JobFolder folder;
    folder.write("holes.txt", drill_test::dataFile("holes.csv"));
    const twcycle_test::HostOutcome outcome = folder.run({"drill", "holes.txt", "--svg", "holes.svg"});
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_TRUE(folder.exists("holes_sorted.txt"));
    EXPECT_NE(folder.read("holes.svg").find("<svg"), std::string::npos);
    EXPECT_EQ(tableLines(outcome.out, "T1").size(), 1u) << outcome.out;
}

TEST(DrillCommand, RefusalsNameTheLineAndWriteNothing) {
    struct Case {
        std::vector<std::string> arguments;
        const char* content;
        int status;
        const char* message;
    };
    const Case cases[] = {
        {{"drill", "in.drl"}, "M48\nINCH\n%\nT1\nX1.0Y1.0\nG93\n", 8,
         "in.drl: line 6: \"G93\": a G code this reader does not know (read as Excellon; --format csv"},
        // The message names its own option, and no other.
        {{"drill", "in.drl"}, "M48\nINCH\n%\nT1\nX0125Y01\nX9250Y4064\nX12100Y5314\n", 8,
         "--zeros leading or --zeros trailing settles it\n"},
        {{"drill", "in.drl", "--check"}, "M48\nM72\nMETRIC\n%\n", 8,
         "in.drl: line 3: \"METRIC\": a unit statement that disagrees with line 2 (inch); --units inch or --units "
         "mm settles it\n"},
        {{"drill", "in.drl", "--format", "csv"}, "1,2\n3;4\n", 8, "in.drl: line 2: \"3;4\": a row that is not"},
        {{"drill", "in.drl", "--format", "excellon"}, "1,2\n", 8, "in.drl: line 1: \"1,2\": not an Excellon"},
        {{"drill", "missing.drl"}, nullptr, 5, "cannot read missing.drl"},
        {{"drill"}, nullptr, 2, "drill needs an input file (try twcycle drill --help)"},
        {{"drill", "in.drl", "--module", "/nonexistent/module.so"}, "T1\nX1.0Y1.0\n", 2, "cannot load module"},
        {{"drill", "in.drl", "-o", "no/such/dir/out.drl"}, "T1\nX1.0Y1.0\n", 3, "cannot write no/such/dir/out.drl"},
    };
    for (const Case& c : cases) {
        const JobFolder folder;
        if (c.content != nullptr) folder.write("in.drl", c.content);
        const twcycle_test::HostOutcome outcome = folder.run(c.arguments);
        EXPECT_EQ(outcome.status, c.status) << c.message << "\n" << outcome.err;
        EXPECT_NE(outcome.err.find(c.message), std::string::npos) << outcome.err;
        EXPECT_FALSE(folder.exists("in_sorted.drl"));
    }
}

TEST(DrillCommand, CheckPrintsWhatWasUnderstoodAndWritesNothing) {
    const JobFolder folder;
    folder.write("in.drl", drill_test::dataFile("form_allegro_m00.drl"));
    const twcycle_test::HostOutcome outcome = folder.run({"drill", "in.drl", "--check"});
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_EQ(outcome.err, "");
    for (const char* line : {
             "in.drl: Excellon, 1 tool in 2 blocks, 7 holes\n",
             "unit:   file units (the file states none; --units inch or --units mm sets it)\n",
             "zeros:  leading zeros kept, LZ (inferred from line 9)\n",
             "digits: 3.5 (inferred from line 9)\n",
             "  (no tool)  line 9        4\n",
             "  (no tool)  line 13       3\n",
             "note: line 9: \"X00130500Y00184500\": the file gives no digit format and this number has 8 digits",
         })
        EXPECT_NE(outcome.out.find(line), std::string::npos) << line << "\n" << outcome.out;
    EXPECT_FALSE(folder.exists("in_sorted.drl"));

    const twcycle_test::HostOutcome units = folder.run({"drill", "in.drl", "--check", "--units", "inch"});
    EXPECT_NE(units.out.find("unit:   inch (--units)\n"), std::string::npos) << units.out;
}

TEST(DrillCommand, NotesSayWhatWasInferredAndBlocksOfOneToolAreNamedByLine) {
    const JobFolder folder;
    folder.write("in.drl", drill_test::dataFile("form_cam350_repeat.drl"));
    const twcycle_test::HostOutcome outcome = folder.run({"drill", "in.drl"});
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_NE(outcome.err.find("twcycle drill: note: in.drl: line 6: \"X-0000053850Y0000054000\": the file does not "
                               "say LZ or TZ, and this number starts with 0"),
              std::string::npos)
        << outcome.err;
    EXPECT_EQ(tableLines(outcome.out, "T01").size(), 0u) << outcome.out;
    EXPECT_EQ(tableLines(outcome.out, "T01@7").size(), 1u) << outcome.out;
    EXPECT_NE(outcome.out.find("lengths in inch"), std::string::npos);
    const twcycle_test::HostOutcome quiet = folder.run({"drill", "in.drl", "--quiet", "-o", "q.drl"});
    EXPECT_EQ(quiet.err.find("note:"), std::string::npos) << quiet.err;

    folder.write("holes.csv", "1,2\n3,4\n0,0\n");
    const twcycle_test::HostOutcome csv = folder.run({"drill", "holes.csv", "--units", "mm"});
    ASSERT_EQ(csv.status, 0) << csv.err;
    EXPECT_NE(csv.out.find("lengths in mm"), std::string::npos) << csv.out;
    const twcycle_test::HostOutcome plain = folder.run({"drill", "holes.csv", "-o", "plain.csv"});
    EXPECT_NE(plain.out.find("lengths in file units"), std::string::npos) << plain.out;
}

TEST(DrillCommand, Help) {
    const JobFolder folder;
    const twcycle_test::HostOutcome outcome = folder.run({"drill", "--help"});
    EXPECT_EQ(outcome.status, 0);
    EXPECT_NE(outcome.out.find("Usage: twcycle drill IN [-o OUT]"), std::string::npos);
}

}  // namespace
