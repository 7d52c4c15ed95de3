// Every way a job can go wrong that once looked like success: the exit
// status, the message that names the file and line, and the files left.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "twcycle/host_run_fixture.h"

namespace {

using twcycle_test::HostOutcome;
using twcycle_test::JobFolder;
using twcycle_test::kExchangeHead;
using Words = std::vector<std::string>;

const char* const kDefinitions = "algorithm := nearest\nprecision := 3\nstartX := 0\nstartY := 0\n";
const std::string kJob = "geoSource := holes.twx\ngeoOut := sorted.twx\n";

// Lines of a source: the head takes lines 1 to 5, so the body begins at
// line 6.
std::string source(const std::string& body) { return std::string(kExchangeHead) + body; }

const std::string kThreeContours =
    "oContour[A]( )\n{\n  oP[a1]( x[1] y[1] )\n  oP[a2]( x[2] y[1] )\n}\n"       // lines 6-10
    "oContour[B]( )\n{\n  oP[b1]( x[1] y[5] )\n  oP[b2]( x[2] y[5] )\n}\n"       // lines 11-15
    "oContour[C]( )\n{\n  oP[c1]( x[1] y[9] )\n  oP[c2]( x[2] y[9] )\n}\n";      // lines 16-20

std::string withLine(const std::string& body, const std::string& from, const std::string& to) {
    std::string text = body;
    text.replace(text.find(from), from.size(), to);
    return text;
}

struct Row {
    const char* label;
    std::string job;          // job.pcf; empty: none written
    std::string holes;        // holes.twx; empty: none written
    Words arguments;
    int status;
    std::vector<std::string> messages;  // each must appear on standard error
    Words filesLeft;                    // present after the run
    Words filesNotLeft;                 // absent after the run
};

std::vector<Row> rows() {
    const std::string clean = source(kThreeContours);
    return {
        {"job file missing", "", clean, {"-Snosuch"}, 5,
         {"twcycle: nosuch.pcf: error: the job file does not exist\n"}, {}, {"sorted.twx", "osrc_tmp.twx"}},
        {".CFG job file missing", "", clean, {"-Snone.CFG"}, 5,
         {"twcycle: none.CFG: error: the job file does not exist\n"}, {}, {"sorted.twx"}},
        {"source missing", "geoSource := nothing.twx\ngeoOut := sorted.twx\n", "", {"-Sjob"}, 5,
         {"twcycle: job.pcf:1:14: error: the geometry source \"nothing.twx\" does not exist\n"}, {"sorted.twx"},
         {"sorted.twx.part", "osrc_tmp.twx"}},
        {"garbage bytes", kJob, std::string("\x01\xfe\x80garbage\xff\x02", 12), {"-Sjob"}, 5,
         {"twcycle: holes.twx:1:1: error: this is not a data exchange file"}, {}, {"osrc_tmp.twx"}},
        {"a head and then garbage", kJob, source("%\nG90 X10 Y20\n"), {"-Sjob"}, 5,
         {"twcycle: holes.twx:6:1: error: the first item of this file breaks the format (syntax error: '%' is not "
          "allowed here): the module reads nothing of it\n"},
         {}, {"osrc_tmp.twx"}},
        {"a program file", kJob, "M48\nMETRIC,TZ\nT1C0.8\n%\nT1\nX10.0Y20.0\nM30\n", {"-Sjob"}, 5,
         {"twcycle: holes.twx:1:1: error: this is not a data exchange file"}, {}, {"osrc_tmp.twx"}},
        {"syntax error in contour 2 of 3", kJob,
         withLine(clean, "  oP[b2]( x[2] y[5] )", "  oP[b2]( x[2] `y[5] )"), {"-Sjob"}, 6,
         {"twcycle: holes.twx:14:16: error: syntax error: '`' is not allowed here; the module reads no further, "
          "so 4 of the 6 points are not written, in 2 contours: \"B\" (2 points), \"C\" (2 points)\n"},
         {"sorted.twx"}, {"sorted.twx.part", "osrc_tmp.twx"}},
        {"syntax error in the only contour", kJob,
         source("oContour[A]( )\n{\n  oP[a1]( x[1] y[1] )\n  oP[a2]( x[2] y[1]\n  oP[a3]( x[3] y[1] )\n}\n"),
         {"-Sjob"}, 6, {"holes.twx:10:9: error: syntax error: '(' is not allowed here", "so 3 of the 3 points are not written, in 1 contour: \"A\" (3 points)"},
         {"sorted.twx"}, {"osrc_tmp.twx"}},
        {"algorithm fastest", kJob + "algorithm := fastest\n", clean, {"-Sjob"}, 0,
         {"twcycle: job.pcf:3:14: warning: unknown algorithm \"fastest\": the module runs its default, "
          "nearestDirCross; did you mean"},
         {"sorted.twx"}, {}},
        {"algorithm Nearest", kJob + "algorithm := Nearest\n", clean, {"-Sjob"}, 0,
         {"twcycle: job.pcf:3:14: warning: unknown algorithm \"Nearest\"", "did you mean \"nearest\"?"},
         {"sorted.twx"}, {}},
        {"decimal comma", kJob, withLine(clean, "x[2] y[1]", "x[12,5] y[1]"), {"-Sjob"}, 0,
         {"twcycle: holes.twx:9:3: warning: point a2: x[12,5] is read as 12: \",5\" is no part of a number"},
         {"sorted.twx"}, {}},
        {"unit after the number", kJob, withLine(clean, "x[2] y[1]", "x[12mm] y[1]"), {"-Sjob"}, 0,
         {"twcycle: holes.twx:9:3: warning: point a2: x[12mm] is read as 12"}, {"sorted.twx"}, {}},
        {"unquoted source name with a blank", "geoSource := my holes.twx\ngeoOut := sorted.twx\n", clean,
         {"-Sjob"}, 5,
         {"twcycle: job.pcf:1:14: warning: the value of geoSource ends at the blank: the module reads \"my\" and "
          "drops \"holes.twx\"",
          "twcycle: job.pcf:1:14: error: the geometry source \"my\" does not exist"},
         {}, {"osrc_tmp.twx"}},
        {"unquoted output name with a blank", "geoSource := holes.twx\ngeoOut := my sorted.twx\n", clean,
         {"-Sjob"}, 0, {"twcycle: job.pcf:2:11: warning: the value of geoOut ends at the blank"}, {"my"},
         {"sorted.twx"}},
        {"precision 20", kJob + "precision := 20\n", clean, {"-Sjob"}, 0,
         {"twcycle: job.pcf:3:14: warning: precision 20 is outside 1 to 8: the module writes 8 decimals"},
         {"sorted.twx"}, {}},
        {"precision abc", kJob + "precision := abc\n", clean, {"-Sjob"}, 0,
         {"twcycle: job.pcf:3:14: warning: precision \"abc\" is no number: the module writes 1 decimal and "
          "copies \"abc\" into the output's vprecision line"},
         {"sorted.twx"}, {}},
        {"huge coordinate", kJob, withLine(clean, "x[2] y[1]", "x[1e300] y[1]"), {"-Sjob"}, 6,
         {"twcycle: holes.twx:9:3: error: point a2: x[1e300] cannot be written: the output would hold \"inf\""},
         {"sorted.twx"}, {}},
        {"digits beyond a double", kJob, withLine(clean, "x[2] y[1]", "x[12345678901234.5] y[1]"), {"-Sjob"}, 0,
         {"twcycle: holes.twx:9:3: warning: point a2: x[12345678901234.5] has more digits than the output holds "
          "at 3 decimals: written as "},
         {"sorted.twx"}, {}},
        {"number beyond range", kJob, withLine(clean, "x[2] y[1]", "x[1e400] y[1]"), {"-Sjob"}, 6,
         {"twcycle: holes.twx:9:3: error: point a2: x[1e400] cannot be written"}, {"sorted.twx"}, {}},
        {"-P without a message file", kJob, clean, {"-P"}, 0,
         {"twcycle: -P shows the message file named by the parameter \"parameters\""}, {}, {"sorted.twx"}},
        {"-A", kJob, clean, {"-A"}, 0,
         {"twcycle: -A reads its message file from the parameter \"algorithm\", which holds the algorithm name "
          "nearest here"},
         {}, {"sorted.twx"}},
        {"-V", kJob, clean, {"-V"}, 0, {"twcycle: the module prints nothing for -V, -? and -D"}, {}, {"sorted.twx"}},
        {"-?", kJob, clean, {"-?"}, 0, {"twcycle: the module prints nothing for -V, -? and -D"}, {}, {"sorted.twx"}},
        {"no arguments", kJob, clean, {}, 0, {"twcycle: the module prints nothing for -V, -? and -D"}, {},
         {"sorted.twx"}},
    };
}

TEST(HostTruth, EveryMisleadingCaseGetsAMessageAndItsStatus) {
    for (const Row& row : rows()) {
        SCOPED_TRACE(row.label);
        JobFolder folder;
        folder.write("twPntOpt.def", kDefinitions);
        if (!row.job.empty()) folder.write("job.pcf", row.job);
        if (!row.holes.empty()) folder.write("holes.twx", row.holes);
        const HostOutcome outcome = folder.run(row.arguments);
        EXPECT_EQ(outcome.status, row.status) << outcome.err;
        for (const std::string& message : row.messages)
            EXPECT_NE(outcome.err.find(message), std::string::npos) << "wanted: " << message << "\ngot: " << outcome.err;
        for (const std::string& file : row.filesLeft) EXPECT_TRUE(folder.exists(file)) << file;
        for (const std::string& file : row.filesNotLeft) EXPECT_FALSE(folder.exists(file)) << file;
        // No finding is ever hidden by --quiet but a note.
        Words quiet = {"--quiet"};
        quiet.insert(quiet.end(), row.arguments.begin(), row.arguments.end());
        const HostOutcome silent = folder.run(quiet);
        EXPECT_EQ(silent.status, row.status);
        if (row.status != 0) {
            EXPECT_NE(silent.err.find(": error: "), std::string::npos) << silent.err;
        }
    }
}

TEST(HostTruth, StrictTurnsWarningsIntoErrors) {
    JobFolder folder;
    folder.write("twPntOpt.def", kDefinitions);
    folder.write("holes.twx", source(kThreeContours));
    folder.write("job.pcf", kJob + "algorithm := fastest\n");
    EXPECT_EQ(folder.run({"-Sjob"}).status, 0);
    const HostOutcome strict = folder.run({"--strict", "-Sjob"});
    EXPECT_EQ(strict.status, 7);
    EXPECT_NE(strict.err.find("warning: unknown algorithm"), std::string::npos) << strict.err;
    // A clean job passes --strict.
    folder.write("job.pcf", kJob);
    const HostOutcome clean = folder.run({"--strict", "-Sjob"});
    EXPECT_EQ(clean.status, 0) << clean.err;
    EXPECT_EQ(clean.err, "");
}

TEST(HostTruth, FloodsOfOneWarningAreCounted) {
    std::string body = "oContour[Many]( )\n{\n";
    for (int i = 0; i < 12; ++i) body += "  oP( x[" + std::to_string(i) + ",5] y[1] )\n";
    body += "}\n";
    JobFolder folder;
    folder.write("twPntOpt.def", kDefinitions);
    folder.write("holes.twx", source(body));
    folder.write("job.pcf", kJob);
    const HostOutcome outcome = folder.run({"-Sjob"});
    EXPECT_EQ(outcome.status, 0);
    EXPECT_NE(outcome.err.find("twcycle: holes.twx: warning: 7 more point values are not entirely numbers\n"),
              std::string::npos)
        << outcome.err;
}

// What is read is what is written: a source the module reads to its end
// gives no finding, however its contours and points are spread.
TEST(HostTruth, OrderedOutputMatchesTheSourceContourByContour) {
    const char* const algorithms[] = {"nearest", "nearestDirected", "nearestDirCross", "insert", "extendedA",
                                      "extendedB"};
    for (const char* algorithm : algorithms) {
        SCOPED_TRACE(algorithm);
        JobFolder folder;
        folder.write("twPntOpt.def", kDefinitions);
        folder.write("holes.twx", source(kThreeContours + "oContour[D]( )\n{\n  oP( x[0.0005] y[-0.0004] )\n}\n"));
        folder.write("job.pcf", kJob + "writePath := true\nalgorithm := " + algorithm + "\n");
        const HostOutcome outcome = folder.run({"-Sjob"});
        EXPECT_EQ(outcome.status, 0) << outcome.err;
        EXPECT_EQ(outcome.err, "");
    }
}

TEST(HostTruth, OutputCutShortIsNeverSuccess) {
    // A file-size limit cuts the output while the module writes it, as a
    // full disk would; whichever check catches it, the run fails.
    std::string body;
    for (int c = 0; c < 40; ++c) {
        body += "oContour[K" + std::to_string(c) + "]( )\n{\n";
        for (int i = 0; i < 4; ++i) body += "  oP( x[" + std::to_string(c) + "] y[" + std::to_string(i) + "] )\n";
        body += "}\n";
    }
    JobFolder folder;
    folder.write("twPntOpt.def", kDefinitions);
    folder.write("holes.twx", source(body));
    folder.write("job.pcf", kJob);
    const HostOutcome outcome = folder.run({"-Sjob"}, "trap '' XFSZ; ulimit -f 2;");
    EXPECT_NE(outcome.status, 0) << outcome.err;
    EXPECT_EQ(outcome.err.rfind("twcycle: ", 0), 0u) << outcome.err;
}

}  // namespace

namespace {

// The example job as README's first command runs it.
TEST(HostTruth, CleanExampleJobPrintsItsTableAndSucceeds) {
    const std::filesystem::path examples = std::filesystem::path(TW_SOURCE_DIR) / "examples";
    JobFolder folder;
    for (const char* name : {"twPntOpt.def", "twPntOpt.msg", "board.pcf", "board.twx", "help.pcf"})
        std::filesystem::copy_file(examples / name, folder.path() / name);
    const HostOutcome outcome = folder.run({"-Sboard"});
    EXPECT_EQ(outcome.status, 0);
    EXPECT_EQ(outcome.err, "");
    EXPECT_EQ(outcome.out,
              "board.twx -> board_sorted.twx: 4 contours, 331 points\n"
              "contour    points  input order    optimized   saving\n"
              "T10           110     4267.392      469.982   89.0 %\n"
              "T13            15      551.121      141.727   74.3 %\n"
              "T06           202     6661.431      513.983   92.3 %\n"
              "T32             4      312.488      242.839   22.3 %\n"
              "total         331    11792.432     1368.531   88.4 %\n");
    EXPECT_FALSE(folder.exists("osrc_tmp.twx"));
    EXPECT_FALSE(folder.exists("board_sorted.twx.part"));
    // The message file it names shows with -P, in English and in German.
    const HostOutcome english = folder.run({"-P"});
    EXPECT_EQ(english.status, 0);
    EXPECT_EQ(english.err, "");
    EXPECT_EQ(english.out.rfind("twPntOpt - tarnWELL Path Optimizer (Point Lists)\n", 0), 0u) << english.out;
    folder.write("de.pcf", "SystemLanguage := german\n");
    const HostOutcome german = folder.run({"-Sde", "-Y"});
    EXPECT_EQ(german.out.rfind("twPntOpt - tarnWELL Bahnoptimierer (Punktlisten)\n", 0), 0u) << german.out;
    // -A finds the same file through "algorithm", in a job of its own.
    const HostOutcome algorithm = folder.run({"-Shelp", "-A"});
    EXPECT_EQ(algorithm.err, "");
    EXPECT_EQ(algorithm.out, english.out);
}

TEST(HostTruth, HelpListsParametersAndAlgorithms) {
    JobFolder folder;
    const HostOutcome help = folder.run({"--help"});
    EXPECT_EQ(help.status, 0);
    for (const char* word : {"geoSource", "geoOut", "algorithm", "startX, startY", "precision        6",
                             "writePath        false", "removeTempFiles", "SystemLanguage", "--strict",
                             "--list-algorithms", "  5  an input is missing", "  6  points are lost",
                             "  7  --strict"})
        EXPECT_NE(help.out.find(word), std::string::npos) << word;
    const HostOutcome list = folder.run({"--list-algorithms"});
    EXPECT_EQ(list.status, 0);
    EXPECT_NE(help.out.find(list.out), std::string::npos) << "the list is part of --help";
    for (const char* name : {"nearest ", "nearestDirected", "nearestDirCross", "insert", "extendedA", "extendedB"})
        EXPECT_NE(list.out.find("  " + std::string(name)), std::string::npos) << name;
    EXPECT_NE(list.out.find("the same search"), std::string::npos);
    EXPECT_NE(list.out.find("best trade-off"), std::string::npos);
}

}  // namespace
