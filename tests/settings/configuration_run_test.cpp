// The whole configuration phase of a run of the module's cycle, started as
// the host starts it, against real files in a scratch directory.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <string>
#include <tuple>
#include <vector>

#include "framework/slots.h"
#include "module/cycle_objects.h"
#include "module/exec_cycle.h"
#include "settings/scratch_directory.h"

namespace tw {
namespace {

using Matrix = std::array<double, 16>;
using Node = std::tuple<std::string, std::string, int>;

// What the cycle holds right after the configuration phase (event 129);
// the run releases it before execCycle returns.
struct Configured {
    int seen = 0;
    std::vector<Node> parameters;
    std::vector<Node> cfgEntries;
    Matrix frame{};
    Matrix toolFrame{};
    Matrix localFrame{};
};

std::vector<Node> nodes(const Parameter* list) {
    std::vector<Node> result;
    for (; list != nullptr; list = list->next) result.emplace_back(list->name, list->value, list->level);
    return result;
}

Matrix toArray(const double (&m)[16]) {
    Matrix result;
    for (int i = 0; i < 16; ++i) result[static_cast<std::size_t>(i)] = m[i];
    return result;
}

void TWCS_CALL captureConfiguration(Cycle* cycle, std::int32_t event, void* context) {
    if (event != kAfterConfiguration) return;
    auto* configured = static_cast<Configured*>(context);
    ++configured->seen;
    configured->parameters = nodes(cycle->parameters);
    configured->cfgEntries = nodes(cycle->cfgEntries);
    configured->frame = toArray(cycle->frame);
    configured->toolFrame = toArray(cycle->toolFrame);
    configured->localFrame = toArray(cycle->localFrame);
}

class ConfigurationRun : public ::testing::Test {
protected:
    ~ConfigurationRun() override {
        moduleCycle()->eventHandler = nullptr;
        moduleCycle()->eventContext = nullptr;
    }

    Configured run(std::vector<std::string> arguments) {
        Configured configured;
        moduleCycle()->eventHandler = captureConfiguration;
        moduleCycle()->eventContext = &configured;
        std::vector<char*> vector;
        for (std::string& argument : arguments) vector.push_back(argument.data());
        EXPECT_EQ(execCycle(nullptr, static_cast<std::int32_t>(vector.size()), vector.data(), nullptr), 1);
        EXPECT_EQ(configured.seen, 1);
        EXPECT_EQ(moduleCycle()->parameters, nullptr);  // released by the run
        return configured;
    }

    testing::ScratchDirectory directory;
};

TEST_F(ConfigurationRun, SettingsModeReadsDefinitionsAndJob) {
    directory.write("twPntOpt.def",
                    "; definitions of the cycle\n"
                    "algorithm := 3\n"
                    "startX := 0\n"
                    "frameCs_o := \"1 2 3\"\n");
    directory.write("job.pcf",
                    "startX := 5 ; replaces the definition\n"
                    "frameCs_x := \"0 2 0\"\n"
                    "frameCs_y := \"-1 0 0\"\n"
                    "locFrameCs_o := \"11 \" >\n"
                    "  \"22 \" >\n"
                    "  33\n");
    const Configured configured = run({"-Sjob"});
    EXPECT_EQ(configured.parameters, (std::vector<Node>{
                                         {"toolCs_o", "1 2 3", 31},
                                         {"toolCs_y", "-1 0 0", 31},
                                         {"toolCs_x", "0 2 0", 31},
                                         {"locFrameCs_o", "11 22 33", 21},
                                         {"frameCs_y", "-1 0 0", 21},
                                         {"frameCs_x", "0 2 0", 21},
                                         {"frameCs_o", "1 2 3", 13},
                                         {"startX", "5", 21},
                                         {"algorithm", "3", 13},
                                     }));
    EXPECT_TRUE(configured.cfgEntries.empty());
    const Matrix frame = {0, -1, 0, 1, 1, 0, 0, 2, 0, 0, 1, 3, 0, 0, 0, 1};
    EXPECT_EQ(configured.frame, frame);
    EXPECT_EQ(configured.toolFrame, frame);
    const Matrix local = {0, 1, 0, 20, -1, 0, 0, -10, 0, 0, 1, 30, 0, 0, 0, 1};
    for (std::size_t i = 0; i < 16; ++i) EXPECT_DOUBLE_EQ(configured.localFrame[i], local[i]) << i;
}

TEST_F(ConfigurationRun, JobInAFolderKeepsItsSlash) {
    directory.write("jobs/a.pcf", "inFolder := yes\n");
    const Configured configured = run({"-Sjobs/a"});
    EXPECT_EQ(configured.parameters, (std::vector<Node>{{"inFolder", "yes", 21}}));
}

TEST_F(ConfigurationRun, JobFromStandardInput) {
    directory.write("input", "fromInput := 1\n");
    ASSERT_NE(std::freopen("input", "rb", stdin), nullptr);
    const Configured configured = run({"-S| stdin"});
    EXPECT_EQ(configured.parameters, (std::vector<Node>{{"fromInput", "1", 21}}));
}

TEST_F(ConfigurationRun, CfgModeReadsTheCfgFileOnly) {
    directory.write("twPntOpt.def", "algorithm := 3\n");
    directory.write("job.CFG",
                    "  *APT   prog 1  #main program\r\n"
                    "*FRAME_ID 7\r\n"
                    "*FRAME_COMMENT a/b\r\n"
                    "*NCKO_O 1 2 3\r\n"
                    "*NCKO_O 4 5 6\r\n");
    const Configured configured = run({"-Sjob.CFG"});
    EXPECT_EQ(configured.cfgEntries, (std::vector<Node>{
                                         {"*APT", "prog 1", 21},
                                         {"*FRAME_ID", "7", 21},
                                         {"*FRAME_COMMENT", "a/b", 21},
                                         {"*NCKO_O", "1 2 3", 21},
                                         {"*NCKO_O", "4 5 6", 21},
                                     }));
    EXPECT_EQ(configured.parameters, (std::vector<Node>{
                                         {"frameComment", "a\\047b", 31},
                                         {"zeroPointID", "7", 31},
                                         {"pofFilename", "prog 1", 31},
                                     }));
    const Matrix frame = {1, 0, 0, 4, 0, 1, 0, 5, 0, 0, 1, 6, 0, 0, 0, 1};
    EXPECT_EQ(configured.frame, frame);
    EXPECT_EQ(configured.toolFrame, frame);
}

TEST_F(ConfigurationRun, CfgLineEndsDecideWhereAnEntryEnds) {
    directory.write("lf.CFG", "  *APT   prog 1  #c\n*FRAME_ID 7\n");
    const Configured configured = run({"-Slf.CFG"});
    EXPECT_EQ(configured.cfgEntries, (std::vector<Node>{{"*APT", "prog 1  *FRAME_ID 7", 21}}));
    EXPECT_EQ(configured.parameters, (std::vector<Node>{{"pofFilename", "prog 1  *FRAME_ID 7", 31}}));
}

TEST_F(ConfigurationRun, MissingFilesAreNoError) {
    const Configured configured = run({"-Sabsent"});
    EXPECT_TRUE(configured.parameters.empty());
    EXPECT_EQ(lastResultCode(), 0);
    const Configured cfg = run({"-Sabsent.CFG"});
    EXPECT_TRUE(cfg.cfgEntries.empty());
}

}  // namespace
}  // namespace tw
