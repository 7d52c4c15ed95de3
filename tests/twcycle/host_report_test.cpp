// What twcycle shows after a job: the summary table, the picture, the exit
// status when the output is missing or does not read back, and the quiet
// cases (switch runs, jobs without an output file).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include "twcycle/host_run_fixture.h"
#include "twcycle/xml_check.h"

namespace {

using twcycle_test::HostOutcome;
using twcycle_test::JobFolder;
using twcycle_test::kExchangeHead;
using twcycle_test::tableLines;
using Words = std::vector<std::string>;

// Three contours whose lengths are easy to follow by hand (start 0,0):
//   A: input (0,3) (0,1) (0,2): 3 + 2 + 1 = 6; nearest order (0,1) (0,2) (0,3): 3.
//      "a2" and "a3" repeat x; the point of the nested group is not A's.
//   Empty: no points, so it is not written and does not shift the matching.
//   B, from A's end (0,3): input (4,6) (4,3): 5 + 3 = 8; nearest (4,3) (4,6): 4 + 3 = 7.
//   C, from B's end (4,6): the one point (7,10): 5 either way.
const std::string kHoles = std::string(kExchangeHead) +
                           "oContour[A]( cmnt[three on a line] )\n{\n  vdiameter(2)\n"
                           "  oP[a1]( x[0] y[3] z[0] )\n  oP[a2]( y[1] )\n  oP[a3]( y[2] )\n"
                           "  oGroup( )\n  {\n    oP[nested]( x[50] y[50] )\n  }\n}\n"
                           "oContour[Empty]( )\n{\n}\n"
                           "oContour[B]( )\n{\n  oP[b1]( x[4] y[6] )\n  oP[b2]( y[3] )\n}\n"
                           "oContour[C]( )\n{\n  oP[c1]( x[7] y[10] )\n}\n";

const char* const kDefinitions = "algorithm := nearest\nprecision := 3\nstartX := 0\nstartY := 0\n";

void writeJob(const JobFolder& folder, const std::string& jobExtra = "") {
    folder.write("twPntOpt.def", kDefinitions);
    folder.write("holes.twx", kHoles);
    folder.write("job.pcf", "geoSource := holes.twx\ngeoOut := sorted.twx\n" + jobExtra);
}

struct SummaryCase {
    const char* label;
    const char* jobExtra;
    Words rowA;
    Words total;
};

TEST(HostSummary, TableOfAHandMadeJob) {
    const Words rowB = {"B", "2", "8.000", "7.000", "12.5", "%"};
    const Words rowC = {"C", "1", "5.000", "5.000", "0.0", "%"};
    const SummaryCase cases[] = {
        {"plain", "", {"A", "3", "6.000", "3.000", "50.0", "%"}, {"total", "6", "19.000", "15.000", "21.1", "%"}},
        // The "-Path" contours of the output are no contours of the table.
        {"with paths", "writePath := true\n", {"A", "3", "6.000", "3.000", "50.0", "%"},
         {"total", "6", "19.000", "15.000", "21.1", "%"}},
        // The job's start point wins over the definition file's: from (0,-1)
        // the input order is 4 + 2 + 1 and the optimized path 4.
        {"job start", "startY := -1\n", {"A", "3", "7.000", "4.000", "42.9", "%"},
         {"total", "6", "20.000", "16.000", "20.0", "%"}},
    };
    for (const SummaryCase& test : cases) {
        SCOPED_TRACE(test.label);
        JobFolder folder;
        writeJob(folder, test.jobExtra);
        const HostOutcome outcome = folder.run({"-Sjob"});
        ASSERT_EQ(outcome.status, 0) << outcome.err;
        EXPECT_EQ(outcome.err, "");
        EXPECT_EQ(outcome.out.rfind("holes.twx -> sorted.twx: 3 contours, 6 points\n", 0), 0u) << outcome.out;
        EXPECT_EQ(tableLines(outcome.out, "contour"),
                  std::vector<Words>({{"contour", "points", "input", "order", "optimized", "saving"}}));
        EXPECT_EQ(tableLines(outcome.out, "A"), std::vector<Words>({test.rowA}));
        EXPECT_EQ(tableLines(outcome.out, "Empty"), std::vector<Words>{});
        EXPECT_EQ(tableLines(outcome.out, "B"), std::vector<Words>({rowB}));
        EXPECT_EQ(tableLines(outcome.out, "C"), std::vector<Words>({rowC}));
        EXPECT_EQ(tableLines(outcome.out, "total"), std::vector<Words>({test.total}));
    }
}

TEST(HostSummary, QuietRunPrintsNothing) {
    JobFolder folder;
    writeJob(folder);
    const HostOutcome outcome = folder.run({"--quiet", "-Sjob"});
    EXPECT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_EQ(outcome.out, "");
    EXPECT_EQ(outcome.err, "");
    EXPECT_TRUE(folder.exists("sorted.twx"));
}

// The job file is found as the module finds it: ".pcf" is appended unless
// the name ends in it in any case, "/S" is "-S", and a job's entry overrides
// the definition file's.
TEST(HostSummary, FindsTheJobLikeTheModule) {
    const std::vector<Words> calls = {{"-Sjob"}, {"-sjob"}, {"/Sjob"}, {"-Sjob.pcf"}, {"-SCopy.PCF"}};
    for (const Words& call : calls) {
        SCOPED_TRACE(call.front());
        JobFolder folder;
        folder.write("twPntOpt.def", std::string(kDefinitions) + "geoSource := holes.twx\ngeoOut := missing/x.twx\n");
        folder.write("holes.twx", kHoles);
        folder.write("job.pcf", "geoOut := sorted.twx\n");
        folder.write("Copy.PCF", "geoOut := sorted.twx\n");
        const HostOutcome outcome = folder.run(call);
        EXPECT_EQ(outcome.status, 0) << outcome.err;
        EXPECT_EQ(tableLines(outcome.out, "total"), std::vector<Words>({{"total", "6", "19.000", "15.000", "21.1", "%"}}))
            << outcome.out << outcome.err;
    }
}

std::vector<double> attributeValues(const std::string& svg, const std::string& attribute) {
    std::vector<double> values;
    const std::regex circle("<circle class=\"point\"[^>]* " + attribute + "=\"([-0-9.]+)\"");
    for (std::sregex_iterator it(svg.begin(), svg.end(), circle), end; it != end; ++it)
        values.push_back(std::stod((*it)[1].str()));
    return values;
}

TEST(HostPicture, WellFormedSvgWithBothPanels) {
    JobFolder folder;
    writeJob(folder);
    const HostOutcome outcome = folder.run({"--svg", "pic.svg", "-Sjob"});
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    const std::string svg = folder.read("pic.svg");
    std::string why;
    EXPECT_TRUE(twcycle_test::wellFormedXml(svg, why)) << why;
    EXPECT_NE(svg.find("<svg xmlns=\"http://www.w3.org/2000/svg\""), std::string::npos);
    EXPECT_NE(svg.find(">input order: 19.000<"), std::string::npos);
    EXPECT_NE(svg.find(">optimized: 15.000<"), std::string::npos);
    EXPECT_NE(svg.find("class=\"start\""), std::string::npos);
    // Every contour is reached by a move from its start point, in each panel.
    const std::regex move("<line class=\"move\"");
    EXPECT_EQ(std::distance(std::sregex_iterator(svg.begin(), svg.end(), move), std::sregex_iterator()), 6);

    // Six points in each panel: input order first, then the optimized order.
    const std::vector<double> x = attributeValues(svg, "cx");
    const std::vector<double> y = attributeValues(svg, "cy");
    ASSERT_EQ(x.size(), 12u);
    ASSERT_EQ(y.size(), 12u);
    // A in input order is (0,3) (0,1) (0,2); larger y is drawn higher up.
    EXPECT_LT(y[0], y[2]);
    EXPECT_LT(y[2], y[1]);
    // A optimized is (0,1) (0,2) (0,3), in the panel to the right.
    EXPECT_GT(y[6], y[7]);
    EXPECT_GT(y[7], y[8]);
    EXPECT_EQ(x[6], x[8]);
    EXPECT_EQ(x[6], x[0]);  // both panels share one scale
}

struct FailureCase {
    const char* label;
    const char* geoOut;
    Words options;
    const char* limit;  // shell text before the program
    int status;
    const char* message;
};

TEST(HostExitStatus, MissingOrBrokenOutputIsAnError) {
    // Enough points that the output exceeds a few kilobytes.
    std::string many = std::string(kExchangeHead) + "oContour[Many]( )\n{\n";
    for (int i = 0; i < 200; ++i)
        many += "  oP[p" + std::to_string(i) + "]( x[" + std::to_string(i % 20) + ".125] y[" + std::to_string(i / 20) +
                ".5] )\n";
    many += "}\n";
    const FailureCase cases[] = {
        {"missing directory", "missing/out.twx", {}, "", 3,
         "twcycle: no output file was written although geoOut names missing/out.twx: its folder does not exist\n"},
        // The output cannot be moved over the folder, so none is left.
        {"directory in the way", "outdir", {}, "", 3, "twcycle: geoOut names outdir, which is not a regular file\n"},
        // A file-size limit makes the module's writes fail (the signal is
        // ignored); it removes the output instead of leaving it cut short.
        {"cut short", "sorted.twx", {}, "trap '' XFSZ; ulimit -f 4;", 3,
         "twcycle: no output file was written although geoOut names sorted.twx: a write error\n"},
        {"picture in a missing directory", "sorted.twx", {"--svg", "missing/pic.svg"}, "", 4,
         "twcycle: cannot write the picture missing/pic.svg\n"},
    };
    for (const FailureCase& test : cases) {
        SCOPED_TRACE(test.label);
        JobFolder folder;
        folder.write("twPntOpt.def", kDefinitions);
        folder.write("many.twx", many);
        folder.write("job.pcf", std::string("geoSource := many.twx\ngeoOut := ") + test.geoOut + "\n");
        std::filesystem::create_directories(folder.path() / "outdir" / "keep");
        Words arguments = test.options;
        arguments.push_back("-Sjob");
        const HostOutcome outcome = folder.run(arguments, test.limit);
        EXPECT_EQ(outcome.status, test.status) << outcome.out << outcome.err;
        EXPECT_EQ(outcome.err.rfind(test.message, 0), 0u) << outcome.err;
    }
}

TEST(HostExitStatus, SwitchRunsShowNothingOfAJob) {
    const std::vector<Words> calls = {{"-V", "-Sjob"}, {"-Sjob", "-P"}, {"?"}, {"/A", "-Sjob"}, {"-Sjob", "-?"}};
    for (const Words& call : calls) {
        SCOPED_TRACE(call.front() + " " + call.back());
        JobFolder folder;
        writeJob(folder);
        Words arguments = {"--svg", "pic.svg"};
        arguments.insert(arguments.end(), call.begin(), call.end());
        const HostOutcome outcome = folder.run(arguments);
        EXPECT_EQ(outcome.status, 0) << outcome.err;
        EXPECT_EQ(outcome.out.find("input order"), std::string::npos) << outcome.out;
        EXPECT_EQ(tableLines(outcome.out, "total"), std::vector<Words>{});
        // First the picture's fate; the hints on the switches follow.
        EXPECT_EQ(outcome.err.rfind("twcycle: a switch run writes no geometry; no picture\n", 0), 0u) << outcome.err;
        EXPECT_FALSE(folder.exists("sorted.twx"));
        EXPECT_FALSE(folder.exists("pic.svg"));
    }
}

struct NoteCase {
    const char* label;
    const char* job;      // written as job.pcf
    const char* call;
    const char* note;     // the beginning of standard error
};

TEST(HostNotes, JobsWithoutAnOutputExplainWhy) {
    const NoteCase cases[] = {
        {"no geoOut", "geoSource := holes.twx\n", "-Sjob", "twcycle: the job sets no geoOut"},
        {".CFG job", "", "-Sjob.CFG", "twcycle: a .CFG job names no geometry output file"},
        {"standard input", "", "-S| stdin", "twcycle: the job was read from standard input"},
    };
    for (const NoteCase& test : cases) {
        SCOPED_TRACE(test.label);
        JobFolder folder;
        folder.write("twPntOpt.def", kDefinitions);
        folder.write("holes.twx", kHoles);
        folder.write("job.pcf", test.job);
        folder.write("job.CFG", "*FRAME_ID 1\n");
        const HostOutcome outcome = folder.run({test.call});
        EXPECT_EQ(outcome.status, 0) << outcome.err;
        EXPECT_EQ(outcome.out, "");
        EXPECT_EQ(outcome.err.rfind(test.note, 0), 0u) << outcome.err;
        const HostOutcome quiet = folder.run({"--quiet", test.call});
        EXPECT_EQ(quiet.status, 0);
        EXPECT_EQ(quiet.err, "");
    }
}

// A missing source is an error, named where the job sets it; the table
// still shows what the run wrote: nothing.
TEST(HostNotes, UnreadableSourceGivesAnEmptyTable) {
    JobFolder folder;
    folder.write("twPntOpt.def", kDefinitions);
    folder.write("job.pcf", "geoSource := nothing.twx\ngeoOut := sorted.twx\n");
    const HostOutcome outcome = folder.run({"-Sjob"});
    EXPECT_EQ(outcome.status, 5) << outcome.err;
    EXPECT_EQ(outcome.err, "twcycle: job.pcf:1:14: error: the geometry source \"nothing.twx\" does not exist\n");
    EXPECT_EQ(tableLines(outcome.out, "total"), std::vector<Words>({{"total", "0", "0.000", "0.000", "-"}}));
}

// A small file system, mounted when the machine allows it (root in a
// container that may mount); the test is skipped elsewhere.
class SmallFileSystem {
public:
    SmallFileSystem(const std::filesystem::path& where, const char* size) : where_(where) {
        std::filesystem::create_directories(where);
        const std::string command = "mount -t tmpfs -o size=" + std::string(size) + " tmpfs " +
                                    twcycle_test::shellQuoted(where.string()) + " 2>/dev/null";
        mounted_ = std::system(command.c_str()) == 0;
    }
    ~SmallFileSystem() {
        if (mounted_ && std::system(("umount " + twcycle_test::shellQuoted(where_.string())).c_str()) != 0) {
            ADD_FAILURE() << "cannot unmount " << where_;
        }
    }
    bool mounted() const { return mounted_; }

private:
    std::filesystem::path where_;
    bool mounted_ = false;
};

TEST(HostExitStatus, FullDiskLeavesNoCutOutputAndIsNamed) {
    JobFolder folder;
    SmallFileSystem disk(folder.path() / "full", "16k");
    if (!disk.mounted()) GTEST_SKIP() << "cannot mount a small file system here";
    std::string many = std::string(kExchangeHead) + "oContour[Many]( )\n{\n";
    // About 30 kilobytes of output for 16 kilobytes of room.
    for (int i = 0; i < 800; ++i)
        many += "  oP[p" + std::to_string(i) + "]( x[" + std::to_string(i % 40) + ".125] y[" +
                std::to_string(i / 40) + ".5] )\n";
    many += "}\n";
    folder.write("twPntOpt.def", kDefinitions);
    folder.write("many.twx", many);
    folder.write("job.pcf", "geoSource := many.twx\ngeoOut := full/out.twx\nalgorithm := nearestDirected\n");
    folder.write("full/out.twx", std::string(kExchangeHead) + "oContour[Old]( cmnt[N=0;L=0] )\n{\n}\n");
    const HostOutcome outcome = folder.run({"-Sjob"});
    EXPECT_EQ(outcome.status, 3) << outcome.err;
    EXPECT_EQ(outcome.err.rfind("twcycle: no output file was written although geoOut names full/out.twx: the disk is "
                                "full (",
                                0),
              0u)
        << outcome.err;
    EXPECT_FALSE(folder.exists("full/out.twx"));
    EXPECT_FALSE(folder.exists("full/out.twx.part"));
}

}  // namespace
