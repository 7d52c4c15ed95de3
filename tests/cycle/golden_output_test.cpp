// The example job under every algorithm name, compared byte for byte with
// the stored output. Set TW_UPDATE_GOLDEN=1 to rewrite the stored files after
// a deliberate change of the output.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "job_runner.h"
#include "support/test_names.h"

namespace tw {
namespace {

using testing::readFile;
using testing::runJob;
using testing::TempDirectory;
using testing::writeFile;

const std::filesystem::path kExamples = std::filesystem::path(TW_SOURCE_DIR) / "examples";
const std::filesystem::path kGolden = std::filesystem::path(TW_TEST_DATA_DIR) / "golden";

class GoldenOutput : public ::testing::TestWithParam<const char*> {};

TEST_P(GoldenOutput, ExampleJobMatchesTheStoredOutput) {
    const std::string algorithm = GetParam();
    TempDirectory directory;
    std::filesystem::copy_file(kExamples / "twPntOpt.def", "twPntOpt.def");
    std::filesystem::copy_file(kExamples / "board.twx", "board.twx");
    writeFile("job.pcf", readFile(kExamples / "board.pcf") + "algorithm := " + algorithm +
                             "\nwritePath := true\nremoveTempFiles := true\n");
    ASSERT_EQ(runJob({"-Sjob"}), 1);
    const std::string output = readFile("board_sorted.twx");
    const std::filesystem::path golden = kGolden / ("board_" + algorithm + ".twx");
    const char* update = std::getenv("TW_UPDATE_GOLDEN");
    if (update != nullptr && std::string(update) == "1") {
        std::filesystem::create_directories(kGolden);
        writeFile(golden, output);
    }
    ASSERT_TRUE(std::filesystem::exists(golden)) << golden;
    EXPECT_TRUE(output == readFile(golden)) << "output of " << algorithm << " differs from " << golden;
}

INSTANTIATE_TEST_SUITE_P(EveryAlgorithm, GoldenOutput,
                         ::testing::Values("nearest", "nearestDirected", "nearestDirCross", "insert", "extendedA",
                                           "extendedB"),
    [](const ::testing::TestParamInfo<const char*>& info) { return tw_test::testName(info.param); });

}  // namespace
}  // namespace tw
