// The module cycle's own slots called one by one on a fresh cycle object.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "cycle/point_list_cycle.h"
#include "framework/channels.h"
#include "framework/kernel_slots.h"
#include "module/cycle_objects.h"
#include "optimizer/path_optimizer.h"
#include "optimizer/near_optimal/search_effort.h"
#include "settings/parameter_list.h"
#include "support/temp_directory.h"

namespace tw {
namespace {

using testing::TempDirectory;
using testing::writeFile;

class CycleSlots : public ::testing::Test {
protected:
    CycleSlots() {
        cycle.base.parent = kernelCycle();
        cycle.base.interfaceVersion = kInterfaceVersion;
        cycle.base.title = "tarnWELL Path Optimizer (Point Lists)";
        cycle.base.versionMajor = 9;
        cycle.base.versionMinor = 50;
        cycle.algorithm = 3;
        cycle.removeWorkingFile = 1;
    }
    ~CycleSlots() override {
        finishCycle(&cycle.base);
        freeParameters(cycle.base.parameters);
        optimizerDestroy(cycle.optimizer);
        std::free(cycle.sourceFileName);
        std::free(cycle.workingFileName);
        std::free(cycle.outputFileName);
    }
    void set(const char* name, const char* value) {
        cycle.base.parameters = setParameter(cycle.base.parameters, name, value, 21);
    }
    std::string parameter(const char* name, std::uint16_t* level = nullptr) {
        return getParameter(cycle.base.parameters, name, level).value_or("<none>");
    }
    std::vector<int> channels() const {
        std::vector<int> numbers;
        for (const EventChannel* channel = cycle.base.channels; channel != nullptr; channel = channel->next)
            numbers.push_back(channel->number);
        return numbers;
    }

    TempDirectory directory;
    PointListCycle cycle{};
};

TEST_F(CycleSlots, InitialisationSwapsSourceAndOutputNames) {
    writeFile("a.twx", "");
    set("geoSource", "a.twx");
    set("geoOut", "b.twx");
    ASSERT_EQ(initCycle(&cycle.base), 1);
    std::uint16_t level = 0;
    EXPECT_EQ(parameter("sourceGeometry", &level), "a.twx");
    EXPECT_EQ(level, 31);
    EXPECT_EQ(parameter("geoSource", &level), "b.twx");
    EXPECT_EQ(level, 31);
    EXPECT_STREQ(cycle.sourceFileName, "a.twx");
    EXPECT_STREQ(cycle.outputFileName, "b.twx");
    EXPECT_STREQ(cycle.workingFileName, "osrc_tmp.twx");
    EXPECT_EQ(cycle.base.pcfMode, 1);
    finishCycle(&cycle.base);
    EXPECT_NE(testing::readFile("b.twx").find("tarnWELL Path Optimizer (Point Lists) 9.50 (a.twx)\n"),
              std::string::npos);
}

TEST_F(CycleSlots, ChannelsFollowTheMessageLevel) {
    const std::vector<std::vector<int>> expected = {
        {0, 2, 31}, {0, 2, 4, 31}, {0, 2, 4, 5, 31}, {0, 2, 4, 5, 6, 31}, {0, 2, 4, 5, 6, 31}};
    for (std::uint16_t level = 0; level < expected.size(); ++level) {
        cycle.base.messageLevel = level;
        initCycle(&cycle.base);
        EXPECT_EQ(channels(), expected[level]) << level;
        finishCycle(&cycle.base);
    }
}

TEST_F(CycleSlots, WritePathAcceptsTrueInAnyCaseButRemovalOnlyExactTrue) {
    writeFile("a.twx", "");
    set("geoSource", "a.twx");
    set("writePath", "TRUE");
    set("removeTempFiles", "TRUE");
    cycle.removeWorkingFile = 0;
    initCycle(&cycle.base);
    EXPECT_EQ(cycle.writePath, 1);
    EXPECT_EQ(cycle.removeWorkingFile, 0);
    set("writePath", "yes");
    set("removeTempFiles", "true");
    initCycle(&cycle.base);
    EXPECT_EQ(cycle.writePath, 0);
    EXPECT_EQ(cycle.removeWorkingFile, 1);
}

TEST_F(CycleSlots, CycleParametersReadStartPointNumberAndAlgorithm) {
    struct Case {
        const char* startX;
        const char* algorithm;
        double expectedX;
        std::int32_t expectedAlgorithm;
    };
    const Case cases[] = {
        {"12.5", "extendedB", 12.5, 8}, {"abc", "Nearest", 0.0, 8},      {" -3e2x", "nearest", -300.0, 1},
        {"1", "nearestDirected", 1.0, 2}, {"1", "nearestDirCross", 1.0, 3}, {"1", "insert", 1.0, 5},
        {"1", "extendedA", 1.0, 7},       {"1", "bogus", 1.0, 7},           {"1", "nearOptimal", 1.0, 11},
        {"1", "NearOptimal", 1.0, 11},    {"1", "nearOptimal ", 1.0, 11},   {"1", "nearest", 1.0, 1},
    };
    for (const Case& c : cases) {
        set("startX", c.startX);
        set("algorithm", c.algorithm);
        EXPECT_EQ(readCycleParametersCfg(&cycle.base), 0) << "slot 10 is not filled on a bare cycle";
        cycle.base.slots[10] = readCycleParameters;
        EXPECT_EQ(readCycleParametersCfg(&cycle.base), 1);
        cycle.base.slots[10] = nullptr;
        EXPECT_EQ(cycle.startX, c.expectedX) << c.startX;
        EXPECT_EQ(cycle.algorithm, c.expectedAlgorithm) << c.algorithm;
        EXPECT_EQ(cycle.base.cycleNumber, 1100);
    }
    // An absent start y keeps its value.
    cycle.startY = 7;
    readCycleParameters(&cycle.base);
    EXPECT_EQ(cycle.startY, 7);
}

TEST_F(CycleSlots, CycleParametersReadTheSearchEffort) {
    // nullptr: the parameter is absent; the effort does not outlive a job.
    const struct {
        const char* text;
        int expected;
    } cases[] = {{"37", 37}, {nullptr, 10}, {"1", 1}, {"abc", 10}, {"100", 100}, {"500", 100},
                 {"0", 1},   {"-3", 1},     {" 12 ", 12}, {"2.5", 10}};
    for (const auto& c : cases) {
        searchEffort = 55;
        freeParameters(cycle.base.parameters);
        cycle.base.parameters = nullptr;
        if (c.text != nullptr) set("searchEffort", c.text);
        EXPECT_EQ(readCycleParameters(&cycle.base), 1);
        EXPECT_EQ(searchEffort, c.expected) << (c.text != nullptr ? c.text : "absent");
    }
    searchEffort = kDefaultSearchEffort;
}

TEST_F(CycleSlots, StartCreatesTheOptimizerWithTheAlgorithm) {
    cycle.algorithm = 5;
    ASSERT_EQ(startCycle(&cycle.base), 1);
    ASSERT_NE(cycle.optimizer, nullptr);
    EXPECT_EQ(cycle.optimizer->algorithm, 5);
    EXPECT_EQ(cycle.optimizer->name, "tarnWELL Path Optimizer (Point Lists)");
    ASSERT_EQ(completeCycle(&cycle.base), 1);
    EXPECT_EQ(cycle.optimizer, nullptr);
    EXPECT_EQ(cycle.sourceFileName, nullptr);
}

}  // namespace
}  // namespace tw
