// Every allocation of a whole run, made to fail one after the other: the run
// may give up or go on, but it must not crash or leak, its output must be
// complete or absent, its source intact, and the next run must be clean.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "counting_allocator.h"
#include "fault_jobs.h"
#include "framework/run_faults.h"
#include "platform/writable_file.h"

namespace tw {
namespace {

using namespace testing;

// Runs `job` with allocation N failing, for N = 1, 2, ... up to the count
// of a whole run, then once more to see that a run without a failing
// allocation completes. Returns the number of failure points tried.
std::uint64_t tryEveryAllocation(FaultJob& job) {
    if (job.reference.empty()) {
        EXPECT_EQ(runFaultJob(), 1);
        job.reference = readFile(job.output);
    }
    const std::string sourceBefore = readFile(job.source);
    // One clean run first, so that what lives for the module's life exists;
    // then one that counts the allocations of a whole run.
    EXPECT_TRUE(cleanRunGivesTheReference(job));
    armAllocations(0);
    EXPECT_EQ(runFaultJob(), 1);
    const std::uint64_t points = disarmAllocations().count;
    EXPECT_EQ(readFile(job.output), job.reference);
    const std::int64_t liveBefore = liveAllocations();

    std::uint64_t tried = 0;
    for (std::uint64_t n = 1;; ++n) {
        if (n <= points && !faultPointTried(n)) continue;
        writeFile(job.output, kStaleOutput);
        armAllocations(n);
        const std::int32_t result = runFaultJob();
        const AllocationTally tally = disarmAllocations();
        if (!tally.failed) {
            EXPECT_EQ(n, points + 1) << job.name << ": a run completed without reaching allocation " << n;
            break;
        }
        ++tried;
        EXPECT_TRUE(injectedRunLeftNoHarm(job, sourceBefore, result)) << job.name << ", allocation " << n;
        EXPECT_TRUE(cleanRunGivesTheReference(job)) << job.name << ", after allocation " << n;
        EXPECT_EQ(liveAllocations(), liveBefore) << job.name << ": blocks leaked after allocation " << n;
        if (::testing::Test::HasFailure()) break;
    }
    std::printf("%s: %llu of %llu allocation failure points tried\n", job.name.c_str(),
                static_cast<unsigned long long>(tried), static_cast<unsigned long long>(points));
    if (kFaultStride <= 1) {
        EXPECT_EQ(tried, points) << job.name;
    }
    ::testing::Test::RecordProperty("allocationFailurePoints", std::to_string(tried));
    return tried;
}

class AllocationFaults : public ::testing::Test {
protected:
    TempDirectory directory;
};

TEST_F(AllocationFaults, ExampleJobSurvivesEveryFailingAllocation) {
    // The quickest of the algorithms keeps the thousands of runs short.
    FaultJob job = exampleJob("nearestDirected");
    EXPECT_GT(tryEveryAllocation(job), 100u);
}

TEST_F(AllocationFaults, MixedJobSurvivesEveryFailingAllocation) {
    FaultJob job = mixedJob();
    EXPECT_GT(tryEveryAllocation(job), 50u);
}

TEST_F(AllocationFaults, RunWithoutFailureReachesNoInjectionPoint) {
    // The driver ends at the first run that completes without reaching N;
    // this makes sure a complete run really counts its allocations.
    FaultJob job = mixedJob();
    ASSERT_EQ(runFaultJob(), 1);
    armAllocations(0);
    ASSERT_EQ(runFaultJob(), 1);
    const AllocationTally tally = disarmAllocations();
    EXPECT_FALSE(tally.failed);
    EXPECT_GT(tally.count, 50u);
}

// Short memory that the run survives (here noted while the output is being
// written, as a heuristic that leaves its order unimproved would note it)
// makes the run refused and its output absent, the earlier one included.
int writes = 0;
int shortOfMemoryAtTheTenthWrite() {
    if (++writes == 10) noteRunFault();
    return 0;
}

TEST_F(AllocationFaults, RunThatWentOnShortOfMemoryIsRefusedWithoutOutput) {
    FaultJob job = mixedJob();
    writeFile(job.output, kStaleOutput);
    writes = 0;
    platform::setWriteFaultHook(shortOfMemoryAtTheTenthWrite);
    EXPECT_EQ(runFaultJob(), 0);
    platform::setWriteFaultHook(nullptr);
    EXPECT_GT(writes, 10);
    EXPECT_FALSE(std::filesystem::exists(job.output));
    EXPECT_FALSE(std::filesystem::exists(job.output + ".part"));
    EXPECT_EQ(runFaultJob(), 1);
    EXPECT_NE(readFile(job.output).find("oContour[B]"), std::string::npos);
}

}  // namespace
}  // namespace tw
