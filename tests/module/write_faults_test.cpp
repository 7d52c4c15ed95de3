// Every write operation of a whole run (opens, writes, flushes and closes of
// the working copy and of the geometry output), made to fail one after the
// other: once, as a passing I/O error, or from then on, as a full disk. The
// run returns 1 as ever; its output is complete or absent, never truncated
// or stale; its source is intact; the next run is clean.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <string>

#include "fault_jobs.h"
#include "platform/writable_file.h"

namespace tw {
namespace {

using namespace testing;

struct WriteFaults {
    bool armed = false;
    bool persistent = false;  // every operation from the chosen one on fails
    std::uint64_t count = 0;
    std::uint64_t failAt = 0;
    bool reached = false;
};
WriteFaults faults;

int injectWriteFault() {
    if (!faults.armed) return 0;
    ++faults.count;
    if (faults.count == faults.failAt || (faults.persistent && faults.count > faults.failAt)) {
        faults.reached = true;
        return faults.persistent ? ENOSPC : EIO;
    }
    return 0;
}

struct Outcome {
    std::uint64_t tried = 0;
    std::uint64_t complete = 0;  // runs whose output was complete all the same
    std::uint64_t absent = 0;
};

// With `inPlace` the output replaces the source: then the source is either
// untouched or holds the complete output.
Outcome tryEveryWrite(FaultJob& job, bool persistent, bool inPlace = false) {
    const std::string sourceBefore = readFile(job.source);
    if (job.reference.empty()) {
        EXPECT_EQ(runFaultJob(), 1);
        job.reference = readFile(job.output);
        if (inPlace) writeFile(job.source, sourceBefore);
    }
    Outcome outcome;
    platform::setWriteFaultHook(injectWriteFault);
    if (inPlace) writeFile(job.source, sourceBefore);
    faults = WriteFaults{true, false, 0, 0, false};
    EXPECT_TRUE(cleanRunGivesTheReference(job));
    faults.armed = false;
    const std::uint64_t points = faults.count;
    for (std::uint64_t n = 1;; ++n) {
        if (n <= points && !faultPointTried(n)) continue;
        if (inPlace) {
            writeFile(job.source, sourceBefore);
        } else {
            writeFile(job.output, kStaleOutput);
        }
        faults = WriteFaults{true, persistent, 0, n, false};
        const std::int32_t result = runFaultJob();
        faults.armed = false;
        if (!faults.reached) {
            EXPECT_EQ(n, points + 1) << job.name << ": a run completed without reaching operation " << n;
            break;
        }
        ++outcome.tried;
        const std::string where = job.name + (persistent ? ", full from operation " : ", operation ") +
                                  std::to_string(n);
        EXPECT_EQ(result, 1) << where;
        if (inPlace) {
            const std::string now = readFile(job.source);
            EXPECT_TRUE(now == sourceBefore || now == job.reference) << where << ": the source was damaged";
            EXPECT_FALSE(std::filesystem::exists(job.source + ".part")) << where;
            EXPECT_FALSE(std::filesystem::exists("osrc_tmp.twx")) << where;
            (now == job.reference ? outcome.complete : outcome.absent) += 1;
            writeFile(job.source, sourceBefore);
        } else {
            EXPECT_TRUE(injectedRunLeftNoHarm(job, sourceBefore, result)) << where;
            (std::filesystem::exists(job.output) ? outcome.complete : outcome.absent) += 1;
        }
        EXPECT_TRUE(cleanRunGivesTheReference(job)) << "after " << where;
        if (::testing::Test::HasFailure()) break;
    }
    platform::setWriteFaultHook(nullptr);
    if (kFaultStride <= 1) {
        EXPECT_EQ(outcome.tried, points) << job.name;
    }
    std::printf("%s%s: %llu of %llu write failure points tried (%llu complete, %llu absent)\n", job.name.c_str(),
                persistent ? " on a full disk" : "", static_cast<unsigned long long>(outcome.tried),
                static_cast<unsigned long long>(points),
                static_cast<unsigned long long>(outcome.complete), static_cast<unsigned long long>(outcome.absent));
    return outcome;
}

class WriteFaultRuns : public ::testing::Test {
protected:
    TempDirectory directory;
};

TEST_F(WriteFaultRuns, ExampleJobSurvivesEveryFailingWrite) {
    FaultJob job = exampleJob("nearestDirected");
    const Outcome outcome = tryEveryWrite(job, false);
    // A failed working copy is read in place, so its failures still give
    // the complete output; every failure in the output itself removes it.
    EXPECT_GT(outcome.complete, 10u);
    EXPECT_GT(outcome.absent, 100u);
}

TEST_F(WriteFaultRuns, ExampleJobOnAFullDiskLeavesNoOutput) {
    FaultJob job = exampleJob("nearestDirected");
    const Outcome outcome = tryEveryWrite(job, true);
    EXPECT_EQ(outcome.complete, 0u);
    EXPECT_GT(outcome.absent, 100u);
}

TEST_F(WriteFaultRuns, MixedJobSurvivesEveryFailingWrite) {
    FaultJob job = mixedJob();
    const Outcome outcome = tryEveryWrite(job, false);
    EXPECT_GT(outcome.tried, 20u);
}

TEST_F(WriteFaultRuns, OutputOverItsOwnSourceNeverDamagesIt) {
    FaultJob job = mixedJob();
    writeFile("job.pcf", readFile("job.pcf") + "geoOut := mixed.twx\n");
    job.output = "mixed.twx";
    for (const bool persistent : {false, true}) {
        job.reference.clear();
        const Outcome outcome = tryEveryWrite(job, persistent, true);
        EXPECT_GT(outcome.absent, 10u);
        if (persistent) {
            EXPECT_EQ(outcome.complete, 0u);
        }
    }
}

}  // namespace
}  // namespace tw
