#include "framework/run_phases.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/arguments.h"
#include "framework/channels.h"
#include "framework/event_record.h"
#include "settings/parameter_list.h"
#include "test_cycle.h"

namespace tw {
namespace {

using testing::TestCycle;

std::int32_t runWith(TestCycle& test, std::vector<std::string> texts) {
    std::vector<char*> vector;
    for (std::string& text : texts) vector.push_back(text.data());
    test.cycle.eventHandler = testing::recordEvent;
    if (parseArguments(&test.cycle, vector.data(), static_cast<std::uint16_t>(vector.size())) == 0) return -1;
    return runPhases(&test.cycle);
}

using Journal = std::vector<std::string>;

TEST(RunPhases, NormalRunRaisesEveryEventInOrder) {
    TestCycle test;
    EXPECT_EQ(runWith(test, {"-Sjob", "pos"}), 0);
    // The configuration records are the run's first emission, so 312 comes
    // right after the initialisation slot even though no channel exists.
    const Journal expected = {"111", "slot 0", "119", "121", "slot 2", "129", "311", "slot 1", "312",
                              "319", "321", "slot 10", "329", "331", "slot 12", "339", "341",
                              "slot 13", "349", "351", "slot 14", "359", "391", "slot 15", "399",
                              "411", "419"};
    EXPECT_EQ(test.journal.entries, expected);
}

TEST(RunPhases, SwitchRunCallsOnlyTheSwitchSlots) {
    TestCycle test;
    EXPECT_EQ(runWith(test, {}), 0);
    const Journal expected = {"121", "slot 2", "129", "211", "slot 4", "219",
                              "221", "slot 5", "229", "411", "419"};
    EXPECT_EQ(test.journal.entries, expected);
}

TEST(RunPhases, EmbeddedCycleEmitsNoConfigurationRecords) {
    TestCycle test;
    test.cycle.embedded = 1;
    EXPECT_EQ(runWith(test, {"-Sjob"}), 0);
    for (const std::string& entry : test.journal.entries) EXPECT_NE(entry, "312");
}

struct FailureCase {
    std::vector<std::string> arguments;
    std::vector<int> failingSlots;
    std::int32_t code;
    std::vector<int> slotsCalledAfterConfiguration;
};

class RunPhaseFailures : public ::testing::TestWithParam<FailureCase> {};

TEST_P(RunPhaseFailures, FirstFailureSetsTheCodeAndFinishAlwaysRuns) {
    const FailureCase& c = GetParam();
    TestCycle test;
    for (int slot : c.failingSlots) test.journal.results[slot] = 0;
    EXPECT_EQ(runWith(test, c.arguments), c.code);
    std::vector<int> called;
    bool configured = false;
    for (const std::string& entry : test.journal.entries) {
        if (entry.rfind("slot ", 0) != 0) continue;
        const int slot = std::stoi(entry.substr(5));
        if (configured) called.push_back(slot);
        if (slot == 2 || slot == 3) configured = true;
    }
    EXPECT_EQ(called, c.slotsCalledAfterConfiguration);
}

INSTANTIATE_TEST_SUITE_P(
    EveryStep, RunPhaseFailures,
    ::testing::Values(
        FailureCase{{"-Sjob"}, {1}, 0, {1, 10, 12, 13, 14, 15}},
        FailureCase{{"-Sjob"}, {10}, 21, {1, 10, 15}},
        FailureCase{{"-Sjob.CFG"}, {11}, 21, {1, 11, 15}},
        FailureCase{{"-Sjob"}, {12}, 22, {1, 10, 12, 15}},
        FailureCase{{"-Sjob"}, {13}, 23, {1, 10, 12, 13, 15}},
        FailureCase{{"-Sjob"}, {13, 15}, 23, {1, 10, 12, 13, 15}},
        FailureCase{{"-Sjob"}, {14}, 24, {1, 10, 12, 13, 14, 15}},
        FailureCase{{"-Sjob"}, {15}, 31, {1, 10, 12, 13, 14, 15}},
        FailureCase{{"-V", "-?"}, {4}, 11, {4}},
        FailureCase{{"-?", "-P"}, {5}, 12, {5}},
        FailureCase{{"-P", "-A"}, {6}, 13, {6}},
        FailureCase{{"-A", "-Y"}, {7}, 14, {7}},
        FailureCase{{"-Y", "-D"}, {8}, 15, {8}},
        FailureCase{{"-D"}, {9}, 16, {9}}));

// Handlers that collect every record delivered on channels 0 and 1.
std::vector<std::string>* collectedRecords = nullptr;

std::int32_t TWCS_CALL collect(Cycle*, EventRecord* record) {
    if (collectedRecords != nullptr)
        collectedRecords->push_back(std::to_string(record->kind) + " " + record->name + " " + record->text);
    return 1;
}

std::int32_t TWCS_CALL registerCollectors(Cycle* cycle) {
    registerChannel(cycle, 0, collect, collect, 1);
    registerChannel(cycle, 1, collect, collect, 1);
    return 1;
}

TEST(RunPhases, ConfigurationRecordsFollowTheInitialisation) {
    TestCycle test;
    test.cycle.slots[kInitCycle] = registerCollectors;
    test.cycle.slots[kReadSettings] = [](Cycle* cycle) -> std::int32_t {
        cycle->parameters = setParameter(cycle->parameters, "fromDef", "1", 13);
        cycle->parameters = setParameter(cycle->parameters, "fromJob", "a b", 21);
        return 1;
    };
    test.cycle.slots[kReadCfgSettings] = [](Cycle* cycle) -> std::int32_t {
        cycle->cfgEntries = appendEntry(cycle->cfgEntries, "*APT", "prog 1", 21);
        cycle->cfgEntries = appendEntry(cycle->cfgEntries, "*EMPTY", "", 21);
        return 1;
    };
    std::vector<std::string> records;
    collectedRecords = &records;
    EXPECT_EQ(runWith(test, {"-Sjob"}), 0);
    EXPECT_EQ(records, (std::vector<std::string>{"112 cfgSource job", "202 def \"tempMem\":=\"128\"",
                                                 "201 call \"fromJob\":=\"a b\"", "202 def \"fromDef\":=\"1\""}));

    records.clear();
    TestCycle cfg;
    cfg.cycle.slots[kInitCycle] = registerCollectors;
    cfg.cycle.slots[kReadCfgSettings] = test.cycle.slots[kReadCfgSettings];
    EXPECT_EQ(runWith(cfg, {"-Sjob.CFG"}), 0);
    EXPECT_EQ(records, (std::vector<std::string>{"112 cfgSource job.CFG", "202 def \"*TEMP_MEM\":=\"128\"",
                                                 "204 cfg *APT prog 1", "204 cfg *EMPTY"}));
    collectedRecords = nullptr;
    releaseChannels(&test.cycle);
    releaseChannels(&cfg.cycle);
}

TEST(RunPhases, ReleaseEmptiesTheRunsCollections) {
    TestCycle test;
    EXPECT_EQ(runWith(test, {"-Sjob", "a", "b"}), 0);
    EXPECT_EQ(test.cycle.parameters, nullptr);
    EXPECT_EQ(test.cycle.cfgEntries, nullptr);
    EXPECT_EQ(test.cycle.settingsSource, nullptr);
    EXPECT_EQ(test.cycle.parameterFiles, nullptr);
    EXPECT_EQ(test.cycle.parameterFileCount, 0);
}

}  // namespace
}  // namespace tw
