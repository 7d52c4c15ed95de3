// Runs that overlap inside one process: from several threads at once (they
// are serialized, and each output holds its own source's points), and nested
// in host code that a run calls, on the same thread.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "stress_jobs.h"
#include "twpntopt.h"

namespace tw {
namespace {

using namespace testing;

#if defined(TW_STRESS_SMALL)
constexpr int kThreads = 3;
constexpr int kRounds = 2;
#else
constexpr int kThreads = 4;
constexpr int kRounds = 3;
#endif

std::int32_t runModule(const std::string& job) {
    std::string argument = "-S" + job;
    char* arguments[] = {argument.data()};
    return twCSexecCycle(nullptr, 1, arguments, nullptr);
}

TEST(ConcurrentRuns, ThreadsInOneFolderEachWriteTheirOwnSourcesPoints) {
    TempDirectory directory;
    writeStressDefinitions();
    int absent = 0;
    for (int round = 0; round < kRounds; ++round) {
        std::vector<StressJob> jobs;
        for (int tag = 0; tag < kThreads; ++tag) jobs.push_back(writeStressJob(tag, round));
        std::vector<std::int32_t> results(kThreads, -1);
        std::atomic<int> waiting{kThreads};
        std::vector<std::thread> threads;
        for (int tag = 0; tag < kThreads; ++tag) {
            threads.emplace_back([&, tag] {
                // All start together, so that the calls do overlap.
                --waiting;
                while (waiting.load() > 0) std::this_thread::yield();
                results[tag] = runModule(jobs[tag].name);
            });
        }
        for (std::thread& thread : threads) thread.join();
        const std::string where = "round " + std::to_string(round);
        for (int tag = 0; tag < kThreads; ++tag) EXPECT_EQ(results[tag], 1) << where << ", job " << tag;
        expectOwnPoints(jobs, where, absent);
        expectNoLeftovers(where);
    }
    EXPECT_EQ(absent, 0);
}

// A cycle of the host's own, derived from the module's kernel cycle, whose
// slots are host code called during its run (this module calls no host
// function itself, so that is where a host nests runs). Its prepare slot
// uses the signal words, also from another thread, and runs the module's
// cycle on one job; its complete slot runs a second job.
struct NestingHost {
    std::vector<std::string> jobs;
    std::vector<std::int32_t> nestedResults;
    std::int32_t previousSignal = -1;
    std::int32_t signalFromThread = -1;
    std::int32_t signalState = -1;
    bool sameCycle = false;
};
NestingHost nesting;
Cycle hostCycle{};

std::int32_t TWCS_CALL readNoSettings(Cycle*) { return 1; }

std::int32_t TWCS_CALL prepareNested(Cycle*) {
    nesting.sameCycle = twCSgetCycle() == twCSgetCycle();
    nesting.previousSignal = twCSsetSignal(nullptr, 5);
    // Another thread must not wait for the run to end to reach the signal.
    std::thread other([] { nesting.signalFromThread = twCSsetSignal(nullptr, 6); });
    other.join();
    nesting.signalState = twCSgetSignal(nullptr);
    nesting.nestedResults.push_back(runModule(nesting.jobs[0]));
    return 1;
}

std::int32_t TWCS_CALL completeNested(Cycle*) {
    nesting.nestedResults.push_back(runModule(nesting.jobs[1]));
    return 1;
}

TEST(ConcurrentRuns, RunsNestedInAHostsRunTakeTheLockAgain) {
    TempDirectory directory;
    writeStressDefinitions();
    const std::vector<StressJob> jobs{writeStressJob(0, 7), writeStressJob(1, 7)};
    twCSsetSignal(nullptr, 0);
    nesting = NestingHost{};
    nesting.jobs = {jobs[0].name, jobs[1].name};
    hostCycle = Cycle{};
    hostCycle.parent = twCSgetCycle()->parent;
    hostCycle.interfaceVersion = twCSgetCycle()->interfaceVersion;
    hostCycle.slots[2] = readNoSettings;   // readSettings
    hostCycle.slots[12] = prepareNested;   // prepareCycle
    hostCycle.slots[14] = completeNested;  // completeCycle
    std::string argument = "-Shost";
    char* arguments[] = {argument.data()};
    ASSERT_EQ(twCSexecCycle(&hostCycle, 1, arguments, nullptr), 1);

    EXPECT_EQ(nesting.nestedResults, (std::vector<std::int32_t>{1, 1}));
    EXPECT_TRUE(nesting.sameCycle);
    EXPECT_EQ(nesting.previousSignal, 0);
    EXPECT_EQ(nesting.signalFromThread, 5);
    EXPECT_EQ(nesting.signalState, 0);
    EXPECT_EQ(twCSsetSignal(nullptr, 0), 6);
    int absent = 0;
    expectOwnPoints(jobs, "nested", absent);
    EXPECT_EQ(absent, 0);
    expectNoLeftovers("nested");

    // The lock is free again: another thread can run at once.
    const StressJob after = writeStressJob(2, 7);
    std::int32_t result = -1;
    std::thread([&] { result = runModule(after.name); }).join();
    EXPECT_EQ(result, 1);
    expectOwnPoints({after}, "after", absent);
    EXPECT_EQ(absent, 0);
}

}  // namespace
}  // namespace tw
