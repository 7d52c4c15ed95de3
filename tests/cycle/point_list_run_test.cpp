// Whole runs of the module's cycle: settings, working copy, ordering and
// the geometry file, checked through the files a user sees.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "job_runner.h"
#include "module/cycle_objects.h"
#include "optimizer/near_optimal/search_effort.h"

namespace tw {
namespace {

using testing::jobParameters;
using testing::kExchangeHead;
using testing::readFile;
using testing::runJob;
using testing::TempDirectory;
using testing::writeFile;

const std::string kOutputHead =
    "tarnWELL Data Exchange File, text edition 1993.\n"
    "tWX-Version: 1.0\n"
    "Geometry\n"
    "tarnWELL Path Optimizer (Point Lists) 9.50 (src.twx)\n\n";

class PointListRun : public ::testing::Test {
protected:
    void job(const std::string& parameters) {
        writeFile("job.pcf", jobParameters("geoSource := src.twx\ngeoOut := out.twx\n" + parameters));
    }
    std::string run(const std::string& source) {
        writeFile("src.twx", source);
        EXPECT_EQ(runJob({"-Sjob"}), 1);
        EXPECT_EQ(lastResultCode(), 0);
        return readFile("out.twx");
    }

    TempDirectory directory;
};

TEST_F(PointListRun, WritesTheGeometryFileLineByLine) {
    job("precision := 3\nwritePath := true\n");
    const std::string output = run(kExchangeHead +
                                   "oContour[HOLES]( )\n{\n  vdiameter(8.5)\n"
                                   "  oP[1]( x[10] y[0] z[0] )\n  oP[2]( x[20] y[0] z[0] )\n}\n");
    const std::string expected =
        "tarnWELL Data Exchange File, text edition 1993.\n"
        "tWX-Version: 1.0\n"
        "Geometry\n"
        "tarnWELL Path Optimizer (Point Lists) 9.50 (src.twx)\n"
        "\n"
        "vprecision(3)\n"
        "\n"
        "oContour[HOLES-Path]( )\n"
        "{\n"
        " oM( x[/0.000] y[/0.000] z[/0] )\n"
        " oL( x[/10.000] y[/0.000] )\n"
        " oL( x[/20.000] y[/0.000] )\n"
        "}\n"
        "oContour[HOLES]( cmnt[N=2;L=20] )\n"
        "{\n"
        "  vdiameter(8.5)\n"
        "\n"
        "  vstartX(0)\n"
        "  vstartY(0)\n"
        "\n"
        "  oP[1]( x[10] y[0] z[0] )\n"
        "  oP[2]( x[20] )\n"
        "}\n";
    EXPECT_EQ(output, expected);
    EXPECT_FALSE(std::filesystem::exists("osrc_tmp.twx"));
}

TEST_F(PointListRun, MissingCoordinatesRepeatTheLastGivenValueAcrossContours) {
    job("");
    const std::string output = run(kExchangeHead +
                                   "oContour[A]( )\n{\n  oP[1]( x[1] )\n  oP[2]( x[2] y[5] z[-1] )\n}\n"
                                   "oContour[B]( )\n{\n  oP[3]( x[3] )\n  oP[4]( x[4] )\n}\n");
    EXPECT_NE(output.find("oContour[A]( cmnt[N=2;L=6.09902] )"), std::string::npos) << output;
    // Point 1 takes y and z as 0 (nothing given yet); points 3 and 4 repeat
    // point 2's y and z.
    EXPECT_NE(output.find("  oP[1]( x[1] y[0] z[0] )\n  oP[2]( x[2] y[5] z[-1] )\n}"), std::string::npos) << output;
    EXPECT_NE(output.find("  vstartX(2)\n  vstartY(5)\n\n  oP[3]( x[3] y[5] z[-1] )\n  oP[4]( x[4] )\n}"),
              std::string::npos)
        << output;
}

TEST_F(PointListRun, PointsOfNestedObjectsAreNotAdded) {
    job("");
    const std::string output = run(kExchangeHead +
                                   "oContour[A]( )\n{\n  oP[1]( x[1] y[0] )\n"
                                   "  oGroup( )\n  {\n    oP[9]( x[9] y[9] )\n  }\n  oP[2]( x[2] y[0] )\n}\n");
    EXPECT_NE(output.find("cmnt[N=2;L=2]"), std::string::npos) << output;
    EXPECT_EQ(output.find("oP[9]"), std::string::npos);
}

TEST_F(PointListRun, EachContourStartsWhereThePreviousEnded) {
    job("startX := 100\nstartY := 0\n");
    const std::string output = run(kExchangeHead +
                                   "oContour[A]( )\n{\n  oP[1]( x[0] y[0] )\n  oP[2]( x[10] y[0] )\n}\n"
                                   "oContour[B]( )\n{\n  oP[3]( x[0] y[3] )\n  oP[4]( x[0] y[4] )\n}\n");
    // From (100, 0) contour A ends at (0, 0); contour B starts there.
    EXPECT_NE(output.find("oContour[A]( cmnt[N=2;L=100] )\n{\n\n  vstartX(100)\n  vstartY(0)\n\n"
                          "  oP[2]( x[10] y[0] z[0] )\n  oP[1]( x[0] )\n}"),
              std::string::npos)
        << output;
    EXPECT_NE(output.find("oContour[B]( cmnt[N=2;L=4] )\n{\n\n  vstartX(0)\n  vstartY(0)\n"), std::string::npos)
        << output;
}

TEST_F(PointListRun, SurfaceAndDepthLinesAppearOnceSeenAndWhereTheyChange) {
    job("");
    const std::string output = run(kExchangeHead +
                                   "oContour[A]( )\n{\n  oP[1]( x[1] y[0] )\n  oP[2]( x[2] y[0] )\n}\n"
                                   "vdepth(-2)\n"
                                   "oContour[B]( )\n{\n  vsurface(1)\n  oP[3]( x[3] y[0] )\n"
                                   "  vdepth(-5)\n  oP[4]( x[4] y[0] )\n  oP[5]( x[5] y[0] )\n}\n");
    const std::size_t a = output.find("oContour[A]");
    const std::size_t b = output.find("oContour[B]");
    ASSERT_NE(b, std::string::npos);
    EXPECT_EQ(output.substr(a, b - a).find("vdepth"), std::string::npos);
    EXPECT_NE(output.find("  vsurface(1)\n  vdepth(-2)\n  oP[3]( x[3] y[0] z[0] )\n"
                          "  vdepth(-5)\n  oP[4]( x[4] )\n  oP[5]( x[5] )\n}"),
              std::string::npos)
        << output;
}

TEST_F(PointListRun, SinglePointContourReportsTheWayFromTheStart) {
    job("startX := 3\nstartY := 4\n");
    const std::string output = run(kExchangeHead +
                                   "oContour[A]( )\n{\n  oP[1]( x[0] y[0] )\n  oP[2]( x[10] y[0] )\n}\n"
                                   "oContour[ONE]( )\n{\n  oP[7]( x[10] y[5] )\n}\n");
    EXPECT_NE(output.find("oContour[ONE]( cmnt[N=1;L=5] )"), std::string::npos) << output;
}

TEST_F(PointListRun, ValuesThatNeedEscapesReadBackUnchanged) {
    job("");
    const std::string source = kExchangeHead +
                               "vnote(drill (2\\) \\091a\\093 \\096x\\\\y \\200)\n"
                               "vplain(a b;c(d)\n"
                               "oContour[A]( )\n{\n  oP[1]( x[1] y[0] )\n}\n";
    const std::string output = run(source);
    EXPECT_NE(output.find("  vnote(drill (2\\041 \\091a\\093 \\096x\\092y \\200)\n"), std::string::npos)
        << output;
    EXPECT_NE(output.find("  vplain(a b;c(d)\n"), std::string::npos) << output;

    // Running the output through the cycle again yields the same values.
    writeFile("job.pcf", jobParameters("geoSource := out.twx\ngeoOut := again.twx\n"));
    ASSERT_EQ(runJob({"-Sjob"}), 1);
    const std::string again = readFile("again.twx");
    EXPECT_NE(again.find("  vnote(drill (2\\041 \\091a\\093 \\096x\\092y \\200)\n"), std::string::npos) << again;
}

TEST_F(PointListRun, WithoutGeoOutNothingIsWrittenAndTheRunSucceeds) {
    writeFile("job.pcf", jobParameters("geoSource := src.twx\n"));
    writeFile("src.twx", kExchangeHead + "oContour[A]( )\n{\n  oP[1]( x[1] y[0] )\n}\n");
    EXPECT_EQ(runJob({"-Sjob"}), 1);
    EXPECT_EQ(lastResultCode(), 0);
    EXPECT_FALSE(std::filesystem::exists("out.twx"));
    EXPECT_FALSE(std::filesystem::exists("osrc_tmp.twx"));
}

TEST_F(PointListRun, UnreadableSourceGivesAnOutputWithoutContours) {
    job("");
    EXPECT_EQ(runJob({"-Sjob"}), 1);
    EXPECT_EQ(lastResultCode(), 0);
    EXPECT_EQ(readFile("out.twx"), kOutputHead + "vprecision(6)\n\n");
}

TEST_F(PointListRun, OutputMayReplaceItsOwnSource) {
    const std::string source = kExchangeHead + "oContour[A]( )\n{\n  oP[1]( x[2] y[0] )\n  oP[2]( x[1] y[0] )\n}\n";
    writeFile("job.pcf", jobParameters("geoSource := src.twx\ngeoOut := src.twx\n"));

    // With the working copy.
    writeFile("src.twx", source);
    ASSERT_EQ(runJob({"-Sjob"}), 1);
    EXPECT_NE(readFile("src.twx").find("  oP[2]( x[1] y[0] z[0] )\n  oP[1]( x[2] )"), std::string::npos);

    // When the working copy cannot be made (a folder stands in its place),
    // the source is read in place and must not be destroyed before that.
    writeFile("src.twx", source);
    std::filesystem::create_directory("osrc_tmp.twx");
    ASSERT_EQ(runJob({"-Sjob"}), 1);
    const std::string output = readFile("src.twx");
    EXPECT_NE(output.find("cmnt[N=2;L=2]"), std::string::npos) << output;
    EXPECT_NE(output.find("  oP[2]( x[1] y[0] z[0] )\n  oP[1]( x[2] )"), std::string::npos) << output;
    std::filesystem::remove("osrc_tmp.twx");

    // The failed copy cleared the removal flag: the working copy now stays,
    // also for "TRUE" (the word is compared exactly); "true" sets it again.
    const std::string plain = "algorithm := nearestDirCross\ngeoSource := src.twx\ngeoOut := out.twx\n";
    writeFile("job.pcf", plain);
    ASSERT_EQ(runJob({"-Sjob"}), 1);
    EXPECT_TRUE(std::filesystem::exists("osrc_tmp.twx"));
    writeFile("job.pcf", plain + "removeTempFiles := TRUE\n");
    ASSERT_EQ(runJob({"-Sjob"}), 1);
    EXPECT_TRUE(std::filesystem::exists("osrc_tmp.twx"));
    writeFile("job.pcf", plain + "removeTempFiles := true\n");
    ASSERT_EQ(runJob({"-Sjob"}), 1);
    EXPECT_FALSE(std::filesystem::exists("osrc_tmp.twx"));
}

TEST_F(PointListRun, SourceNamedLikeTheWorkingCopyIsReadInPlaceAndKept) {
    const std::string source = kExchangeHead + "oContour[A]( )\n{\n  oP[1]( x[1] y[0] )\n}\n";
    writeFile("osrc_tmp.twx", source);
    writeFile("job.pcf", jobParameters("geoSource := osrc_tmp.twx\ngeoOut := out.twx\nremoveTempFiles := true\n"));
    ASSERT_EQ(runJob({"-Sjob"}), 1);
    EXPECT_EQ(readFile("osrc_tmp.twx"), source);
    EXPECT_NE(readFile("out.twx").find("cmnt[N=1;L=1]"), std::string::npos);
}

// The "L=" value of the first contour comment in a geometry file.
double firstContourLength(const std::string& output) {
    const std::size_t at = output.find(";L=");
    return at == std::string::npos ? -1.0 : std::strtod(output.c_str() + at + 3, nullptr);
}

TEST_F(PointListRun, NearOptimalJobReachesTheModeWithItsEffort) {
    // 60 holes scattered by two multiplicative sequences.
    std::string source = kExchangeHead + "oContour[Z]( )\n{\n";
    for (int i = 1; i <= 60; ++i) {
        source += "  oP( x[" + std::to_string(i * 7919 % 1000) + "] y[" + std::to_string(i * 104729 % 997) + "] )\n";
    }
    source += "}\n";
    job("algorithm := nearestDirCross\n");
    const double directed = firstContourLength(run(source));
    job("algorithm := nearOptimal\nsearchEffort := 3\n");
    const std::string output = run(source);
    const double nearOptimal = firstContourLength(output);
    EXPECT_EQ(searchEffort, 3);
    ASSERT_GT(nearOptimal, 0.0) << output;
    EXPECT_LT(nearOptimal, directed);
    EXPECT_NE(output.find("cmnt[N=60;"), std::string::npos);
    // The same job again gives the same file; another effort is read anew.
    EXPECT_EQ(run(source), output);
    job("algorithm := nearOptimal\nsearchEffort := lots\n");
    run(source);
    EXPECT_EQ(searchEffort, kDefaultSearchEffort);
    // An unknown name keeps the code the job before chose.
    job("algorithm := nearOptimal\n");
    const double defaultEffort = firstContourLength(run(source));
    job("algorithm := NEAROPTIMAL\n");
    EXPECT_EQ(firstContourLength(run(source)), defaultEffort);
    job("algorithm := nearestDirCross\n");
    run(source);
    job("algorithm := NEAROPTIMAL\n");
    EXPECT_EQ(firstContourLength(run(source)), directed);
}

TEST_F(PointListRun, CfgModeRunCompletesWithoutGeometry) {
    writeFile("job.CFG", "*APT prog 1\n*FRAME_ID 7\n");
    EXPECT_EQ(runJob({"-Sjob.CFG"}), 1);
    EXPECT_EQ(lastResultCode(), 0);
    EXPECT_EQ(moduleCycle()->cycleNumber, 1100);
}

}  // namespace
}  // namespace tw
