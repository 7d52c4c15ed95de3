// Every allocation of a whole run, made to fail one after the other: the run
// may give up or go on, but it must not crash or leak, its output must be
// complete or absent, its source intact, and the next run must be clean.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "counting_allocator.h"
#include "fault_jobs.h"

namespace tw {
namespace {

using namespace testing;

// How many failure points the sanitizer build tries at most per job; every
// point is tried in the other builds.
#if defined(__SANITIZE_ADDRESS__)
constexpr std::uint64_t kMaxPoints = TW_SANITIZER_ALLOCATION_POINTS;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr std::uint64_t kMaxPoints = TW_SANITIZER_ALLOCATION_POINTS;
#else
constexpr std::uint64_t kMaxPoints = 0;
#endif
#else
constexpr std::uint64_t kMaxPoints = 0;
#endif

// Runs `job` with allocation N failing, for N = 1, 2, ... until a run
// completes without reaching N. Returns the number of failure points tried.
std::uint64_t tryEveryAllocation(FaultJob& job) {
    if (job.reference.empty()) {
        EXPECT_EQ(runFaultJob(), 1);
        job.reference = readFile(job.output);
    }
    const std::string sourceBefore = readFile(job.source);
    // One clean run first, so that what lives for the module's life exists.
    EXPECT_TRUE(cleanRunGivesTheReference(job));
    const std::int64_t liveBefore = liveAllocations();

    std::uint64_t tried = 0;
    for (std::uint64_t n = 1;; ++n) {
        if (kMaxPoints != 0 && n > kMaxPoints) break;
        writeFile(job.output, kStaleOutput);
        armAllocations(n);
        const std::int32_t result = runFaultJob();
        const AllocationTally tally = disarmAllocations();
        if (!tally.failed) break;
        ++tried;
        EXPECT_TRUE(injectedRunLeftNoHarm(job, sourceBefore, result)) << job.name << ", allocation " << n;
        EXPECT_TRUE(cleanRunGivesTheReference(job)) << job.name << ", after allocation " << n;
        EXPECT_EQ(liveAllocations(), liveBefore) << job.name << ": blocks leaked after allocation " << n;
        if (::testing::Test::HasFailure()) break;
    }
    std::printf("%s: %llu allocation failure points tried\n", job.name.c_str(),
                static_cast<unsigned long long>(tried));
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

}  // namespace
}  // namespace tw
