#include "framework/arguments.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/channels.h"
#include "framework/owned_text.h"
#include "framework/run_phases.h"
#include "settings/parameter_list.h"
#include "test_cycle.h"

namespace tw {
namespace {

using testing::TestCycle;

std::vector<char*> argumentVector(std::vector<std::string>& texts) {
    std::vector<char*> vector;
    for (std::string& text : texts) vector.push_back(text.data());
    return vector;
}

std::vector<std::string> slotsCalled(const std::vector<std::string>& journal) {
    std::vector<std::string> slots;
    for (const std::string& entry : journal) {
        if (entry.rfind("slot ", 0) == 0) slots.push_back(entry.substr(5));
    }
    return slots;
}

std::vector<std::string> positional(const Cycle& cycle) {
    std::vector<std::string> result;
    for (std::uint16_t i = 0; i < cycle.parameterFileCount; ++i) result.emplace_back(cycle.parameterFiles[i]);
    return result;
}

struct ParseCase {
    std::vector<std::string> arguments;
    std::uint16_t runMode;
    const char* settingsSource;  // null: none
    std::int32_t cfgMode;
    std::uint16_t messageLevel;
    std::int32_t pcfMode;
    std::vector<std::string> positional;
    std::vector<std::string> slots;  // every slot called by parsing and the run phases
};

class ArgumentParsing : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ArgumentParsing, SetsModeSourceAndRunsTheMatchingSlots) {
    ParseCase c = GetParam();
    TestCycle test;
    std::vector<char*> vector = argumentVector(c.arguments);
    ASSERT_EQ(parseArguments(&test.cycle, vector.data(), static_cast<std::uint16_t>(vector.size())), 1);

    EXPECT_EQ(test.cycle.runMode, c.runMode);
    if (c.settingsSource == nullptr) {
        EXPECT_EQ(test.cycle.settingsSource, nullptr);
    } else {
        ASSERT_NE(test.cycle.settingsSource, nullptr);
        EXPECT_STREQ(test.cycle.settingsSource, c.settingsSource);
    }
    EXPECT_EQ(test.cycle.cfgMode, c.cfgMode);
    EXPECT_EQ(test.cycle.messageLevel, c.messageLevel);
    EXPECT_EQ(test.cycle.pcfMode, c.pcfMode);
    EXPECT_EQ(positional(test.cycle), c.positional);

    EXPECT_EQ(runPhases(&test.cycle), 0);
    EXPECT_EQ(slotsCalled(test.journal.entries), c.slots);
}

const std::vector<std::string> kNormal = {"2", "1", "10", "12", "13", "14", "15"};
const std::vector<std::string> kNormalCfg = {"3", "1", "11", "12", "13", "14", "15"};

INSTANTIATE_TEST_SUITE_P(
    EveryForm, ArgumentParsing,
    ::testing::Values(
        ParseCase{{"-Sjob"}, 256, "job", 0, 0, 0, {}, kNormal},
        ParseCase{{"-Sjob.cfg"}, 256, "job.cfg", 1, 0, 0, {}, kNormalCfg},
        ParseCase{{"/sJOB.CFG"}, 256, "JOB.CFG", 1, 0, 0, {}, kNormalCfg},
        ParseCase{{"-S.CFG"}, 256, ".CFG", 0, 0, 0, {}, kNormal},
        ParseCase{{"-Sa", "-Sb"}, 256, "b", 0, 0, 0, {}, kNormal},
        ParseCase{{"-Sjob", "-A"}, 256 | 8, "job", 0, 0, 0, {}, {"2", "7"}},
        ParseCase{{"-M2", "-PCF"}, 3, nullptr, 0, 2, 1, {}, {"2", "4", "5"}},
        ParseCase{{"-pcf"}, 3, nullptr, 0, 0, 0, {"-pcf"}, {"0", "2", "4", "5"}},
        ParseCase{{"-PcF"}, 3, nullptr, 0, 0, 1, {}, {"2", "4", "5"}},
        ParseCase{{"-PCF", "-pof"}, 3, nullptr, 0, 0, 1, {"-pof"}, {"0", "2", "4", "5"}},
        ParseCase{{"-PCF", "-POF"}, 3, nullptr, 0, 0, 0, {}, {"2", "4", "5"}},
        ParseCase{{"-Pxyz"}, 3, nullptr, 0, 0, 0, {"-Pxyz"}, {"0", "2", "4", "5"}},
        ParseCase{{"-V", "?x"}, 2, nullptr, 0, 0, 0, {}, {"2", "5"}},
        ParseCase{{"?", "-A"}, 2 | 8, nullptr, 0, 0, 0, {}, {"2", "5", "7"}},
        ParseCase{{"-IPC7", "-ipc", "-IP"}, 3, nullptr, 0, 0, 0, {"-IP"}, {"0", "2", "4", "5"}},
        ParseCase{{}, 3, nullptr, 0, 0, 0, {}, {"2", "4", "5"}},
        ParseCase{{"-", "/", "x.twx", "-S"}, 3, nullptr, 0, 0, 0, {"-", "/", "x.twx", "-S"},
                  {"0", "2", "4", "5"}},
        ParseCase{{"-x", "/q"}, 3, nullptr, 0, 0, 0, {"-x", "/q"}, {"0", "2", "4", "5"}},
        ParseCase{{"/v", "-y", "-d", "-p", "-a", "-?"}, 63, nullptr, 0, 0, 0, {},
                  {"2", "4", "5", "6", "7", "8", "9"}},
        ParseCase{{"-Mabc"}, 3, nullptr, 0, 0, 0, {}, {"2", "4", "5"}},
        ParseCase{{"-m70000"}, 3, nullptr, 0, 70000 & 0xFFFF, 0, {}, {"2", "4", "5"}}));

TEST(ArgumentParsingDefaults, TempMemIsSetAtLevelTwoInTheRightMode) {
    for (const char* source : {"-Sjob", "-Sjob.CFG"}) {
        TestCycle test;
        std::vector<std::string> texts{source};
        std::vector<char*> vector = argumentVector(texts);
        ASSERT_EQ(parseArguments(&test.cycle, vector.data(), 1), 1);
        const char* name = test.cycle.cfgMode ? "*TEMP_MEM" : "tempMem";
        std::uint16_t level = 0;
        EXPECT_EQ(getParameter(test.cycle.parameters, name, &level), "128") << source;
        EXPECT_EQ(level, 2);
    }
}

TEST(ArgumentParsingDefaults, ConfigurationFailureReleasesTheRun) {
    TestCycle test;
    test.journal.results[kReadSettings] = 0;
    test.cycle.eventHandler = testing::recordEvent;
    std::vector<std::string> texts{"-Sjob", "extra"};
    std::vector<char*> vector = argumentVector(texts);
    EXPECT_EQ(parseArguments(&test.cycle, vector.data(), 2), 0);
    EXPECT_EQ(test.cycle.settingsSource, nullptr);
    EXPECT_EQ(test.cycle.parameters, nullptr);
    EXPECT_EQ(test.cycle.parameterFileCount, 0);
    EXPECT_EQ(test.journal.entries,
              std::vector<std::string>({"111", "slot 0", "119", "121", "slot 2", "129", "411", "419"}));
}

TEST(ArgumentParsingDefaults, PositionalArgumentsOfAnEarlierRunAreReleased) {
    TestCycle test;
    std::vector<std::string> first{"a", "b"};
    std::vector<char*> vector = argumentVector(first);
    ASSERT_EQ(parseArguments(&test.cycle, vector.data(), 2), 1);
    std::vector<std::string> second{"c"};
    vector = argumentVector(second);
    ASSERT_EQ(parseArguments(&test.cycle, vector.data(), 1), 1);
    EXPECT_EQ(positional(test.cycle), std::vector<std::string>({"c"}));
}

}  // namespace
TEST(ArgumentParsingDefaults, WhatAnInterruptedRunLeftIsDropped) {
    // A run stopped half-way may leave its collections and channels.
    TestCycle test;
    test.cycle.parameters = setParameter(nullptr, "geoOut", "stale.twx", 21);
    test.cycle.cfgEntries = appendEntry(nullptr, "*STALE", "1", 21);
    test.cycle.settingsSource = copyText("stale");
    registerChannel(&test.cycle, 31, nullptr, nullptr, 1);
    std::vector<std::string> texts{"-V"};
    std::vector<char*> vector = argumentVector(texts);
    ASSERT_EQ(parseArguments(&test.cycle, vector.data(), 1), 1);
    EXPECT_EQ(getParameter(test.cycle.parameters, "geoOut"), std::nullopt);
    EXPECT_EQ(test.cycle.cfgEntries, nullptr);
    EXPECT_EQ(test.cycle.settingsSource, nullptr);
    EXPECT_EQ(test.cycle.cfgMode, 0);
    EXPECT_EQ(test.cycle.channels, nullptr);
}

}  // namespace tw
