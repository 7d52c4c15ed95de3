#include "module/exec_cycle.h"

#include <gtest/gtest.h>

#include <array>
#include <stdexcept>
#include <string>
#include <vector>

#include "cycle/point_list_cycle.h"
#include "framework/channels.h"
#include "settings/parameter_list.h"
#include "framework/host_stack.h"
#include "framework/kernel_slots.h"
#include "framework/slots.h"
#include "module/cycle_objects.h"
#include "support/test_names.h"

namespace tw {
namespace {

std::int32_t run(Cycle* cycle, std::vector<std::string> texts, HostRecord* host = nullptr) {
    std::vector<char*> vector;
    for (std::string& text : texts) vector.push_back(text.data());
    return execCycle(cycle, static_cast<std::int32_t>(vector.size()), vector.data(), host);
}

TEST(ExecCycle, NullCycleRunsTheModulesCycleAndInheritsTheKernelSlots) {
    ASSERT_EQ(run(nullptr, {"-V"}), 1);
    const Cycle* cycle = moduleCycle();
    const Cycle* kernel = kernelCycle();
    EXPECT_EQ(cycle->slotsInherited, 1);
    for (int slot : {2, 3, 4, 5, 6, 7, 8, 15}) EXPECT_EQ(cycle->slots[slot], kernel->slots[slot]) << slot;
    EXPECT_EQ(cycle->slots[kInitCycle], initCycle);
    EXPECT_NE(cycle->slots[kOnSwitchD], kernel->slots[kOnSwitchD]);
    EXPECT_EQ(cycle->slots[kOnSwitchD](moduleCycle()), 1);
    EXPECT_EQ(cycle->slots[kReadParameterFiles](moduleCycle()), 0);
    EXPECT_EQ(cycle->eventHandler, nullptr);
    EXPECT_EQ(hostRecordDepth(), 0u);
}

TEST(ExecCycle, ReturnsOneWhateverTheResultCode) {
    // Without a message file the -P section cannot be shown: code 13.
    EXPECT_EQ(run(nullptr, {"-P"}), 1);
    EXPECT_EQ(lastResultCode(), 13);
}

struct BadVector {
    const char* what;
    std::int32_t count;
    bool nullVector;
    bool nullEntry;
};

class ExecCycleBadVectors : public ::testing::TestWithParam<BadVector> {};

TEST_P(ExecCycleBadVectors, AreRefusedWithoutTouchingTheCycle) {
    const BadVector& c = GetParam();
    std::vector<std::string> texts(c.count > 0 && c.count < 20000 ? static_cast<std::size_t>(c.count) : 1, "-V");
    std::vector<char*> vector;
    for (std::string& text : texts) vector.push_back(text.data());
    if (c.nullEntry) vector[vector.size() / 2] = nullptr;
    Cycle* cycle = moduleCycle();
    cycle->runMode = 12345;
    EXPECT_EQ(execCycle(nullptr, c.count, c.nullVector ? nullptr : vector.data(), nullptr), 0) << c.what;
    EXPECT_EQ(cycle->runMode, 12345) << c.what;
    EXPECT_EQ(hostRecordDepth(), 0u);
    cycle->runMode = 0;
}

INSTANTIATE_TEST_SUITE_P(Refusals, ExecCycleBadVectors,
                         ::testing::Values(BadVector{"negative count", -1, false, false},
                                           BadVector{"absurd count", 1 << 30, false, false},
                                           BadVector{"one over the limit", kMaxArguments + 1, false, false},
                                           BadVector{"null vector", 2, true, false},
                                           BadVector{"null entry", 3, false, true}),
    tw_test::NameFromWhat());

TEST(ExecCycle, LargestVectorAndVeryLongArgumentsAreAccepted) {
    std::vector<std::string> many(static_cast<std::size_t>(kMaxArguments), "positional");
    many[0] = "-V";
    EXPECT_EQ(run(nullptr, many), 1);
    EXPECT_EQ(run(nullptr, {"-V", std::string(1 << 20, 'x'), "-S" + std::string(1 << 20, 'y')}), 1);
}

// Nested runs: cycle k's prepare slot starts a run of cycle k + 1 and notes
// what it returned; every cycle notes that its complete slot ran.
constexpr int kChain = 10;
std::array<Cycle, kChain> chain{};
std::array<std::int32_t, kChain> nestedResult{};
std::array<int, kChain> completed{};

int indexOf(const Cycle* cycle) { return static_cast<int>(cycle - chain.data()); }

std::int32_t TWCS_CALL startNested(Cycle* cycle) {
    const int index = indexOf(cycle);
    if (index + 1 < kChain) {
        char source[] = "-Snested";
        char* arguments[] = {source};
        nestedResult[index] = execCycle(&chain[index + 1], 1, arguments, nullptr);
    }
    return 1;
}

std::int32_t TWCS_CALL noteCompleted(Cycle* cycle) {
    completed[indexOf(cycle)] = 1;
    return 1;
}

TEST(ExecCycle, EighthNestedRunIsAcceptedAndTheNinthRefused) {
    for (Cycle& cycle : chain) {
        cycle = Cycle{};
        cycle.parent = kernelCycle();
        cycle.interfaceVersion = kInterfaceVersion;
        cycle.slots[kReadSettings] = succeed;
        cycle.slots[kPrepareCycle] = startNested;
        cycle.slots[kCompleteCycle] = noteCompleted;
    }
    nestedResult.fill(-1);
    completed.fill(0);
    char source[] = "-Souter";
    char* arguments[] = {source};
    ASSERT_EQ(execCycle(&chain[0], 1, arguments, nullptr), 1);

    for (int k = 0; k < 7; ++k) EXPECT_EQ(nestedResult[k], 1) << "run " << k + 2;
    EXPECT_EQ(nestedResult[7], 0) << "the ninth nested run";
    for (int k = 0; k < 8; ++k) EXPECT_EQ(completed[k], 1) << "run " << k + 1;
    EXPECT_EQ(completed[8], 0);
    EXPECT_EQ(chain[8].slotsInherited, 0);  // refused before touching the cycle
    EXPECT_EQ(hostRecordDepth(), 0u);
}

// A cycle whose configuration stores a parameter and whose start slot
// registers a channel and then throws, when told to.
Cycle throwing{};
bool throwAtStart = true;

std::int32_t TWCS_CALL storeSetting(Cycle* cycle) {
    cycle->parameters = setParameter(cycle->parameters, throwAtStart ? "first" : "second", "1", 21);
    cycle->cfgEntries = appendEntry(cycle->cfgEntries, "*KEY", "v", 21);
    return 1;
}

std::int32_t TWCS_CALL registerAndThrow(Cycle* cycle) {
    registerChannel(cycle, 7, nullptr, nullptr, 1);
    if (throwAtStart) throw std::runtime_error("start failed");
    return 1;
}

void TWCS_CALL hostProgress(Cycle*, std::int32_t, void*) {}

TEST(ExecCycle, ExceptionStopsTheRunAndLeavesNothingBehind) {
    throwing = Cycle{};
    throwing.parent = kernelCycle();
    throwing.interfaceVersion = kInterfaceVersion;
    throwing.slots[kReadSettings] = storeSetting;
    throwing.slots[kStartCycle] = registerAndThrow;
    throwing.eventHandler = hostProgress;

    throwAtStart = true;
    EXPECT_EQ(run(&throwing, {"-Sjob", "positional"}), 0);
    EXPECT_EQ(throwing.parameters, nullptr);
    EXPECT_EQ(throwing.cfgEntries, nullptr);
    EXPECT_EQ(throwing.channels, nullptr);
    EXPECT_EQ(throwing.settingsSource, nullptr);
    EXPECT_EQ(throwing.parameterFiles, nullptr);
    EXPECT_EQ(throwing.eventHandler, hostProgress);
    EXPECT_EQ(hostRecordDepth(), 0u);

    // The next run starts like a first one.
    throwAtStart = false;
    EXPECT_EQ(run(&throwing, {"-Sjob"}), 1);
    EXPECT_EQ(lastResultCode(), 0);
    EXPECT_EQ(throwing.parameters, nullptr);
    EXPECT_EQ(throwing.channels, nullptr);
}

}  // namespace
}  // namespace tw
