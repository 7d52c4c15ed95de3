// Which working copy a run reads while other runs hold theirs in the same
// folder (another run is stood for by a claim this test holds).
#include "cycle/working_copy_claims.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "cycle/point_list_cycle.h"
#include "framework/kernel_slots.h"
#include "module/cycle_objects.h"
#include "platform/file_claim.h"
#include "settings/parameter_list.h"
#include "support/temp_directory.h"

namespace tw {
namespace {

using testing::readFile;
using testing::TempDirectory;
using testing::writeFile;

// What another run holds: the claims on the first `count` names, each file
// holding that run's own copy.
std::vector<std::unique_ptr<platform::FileClaim>> otherRunsHold(int count) {
    std::vector<std::unique_ptr<platform::FileClaim>> claims;
    for (int slot = 0; slot < count; ++slot) {
        writeFile(workingCopyName(slot), "another run's copy");
        platform::ClaimResult result = platform::ClaimResult::Failed;
        claims.push_back(platform::FileClaim::claim(workingCopyName(slot), result));
        EXPECT_EQ(result, platform::ClaimResult::Claimed);
    }
    return claims;
}

class WorkingCopyClaims : public ::testing::Test {
protected:
    WorkingCopyClaims() {
        writeFile("src.twx", "the source");
        cycle.base.parent = kernelCycle();
        cycle.base.interfaceVersion = kInterfaceVersion;
        cycle.removeWorkingFile = 1;
        cycle.base.parameters = setParameter(nullptr, "geoSource", "src.twx", 21);
    }
    ~WorkingCopyClaims() override {
        releaseCycleState(&cycle.base);
        finishCycle(&cycle.base);
        freeParameters(cycle.base.parameters);
    }
    TempDirectory directory;
    PointListCycle cycle{};
};

struct Crowd {
    const char* what;
    int held;              // names other runs hold
    const char* expected;  // what the run reads
    bool copied;
};

class WorkingCopyCrowds : public WorkingCopyClaims, public ::testing::WithParamInterface<Crowd> {};

TEST_P(WorkingCopyCrowds, RunTakesTheFirstFreeNameAndNeverTouchesTheOthers) {
    const Crowd& crowd = GetParam();
    const auto claims = otherRunsHold(crowd.held);
    ASSERT_EQ(initCycle(&cycle.base), 1);
    EXPECT_STREQ(cycle.workingFileName, crowd.expected) << crowd.what;
    EXPECT_EQ(cycle.removeWorkingFile, crowd.copied ? 1 : 0) << crowd.what;
    if (crowd.copied) {
        EXPECT_EQ(readFile(crowd.expected), "the source") << crowd.what;
    }
    // Its own copy is claimed while the run lasts; the other runs' are seen.
    EXPECT_EQ(workingCopiesOfOtherRuns().size(), static_cast<std::size_t>(crowd.held)) << crowd.what;

    releaseCycleState(&cycle.base);
    for (int slot = 0; slot < crowd.held; ++slot)
        EXPECT_EQ(readFile(workingCopyName(slot)), "another run's copy") << crowd.what << ", slot " << slot;
    if (crowd.copied) {
        EXPECT_FALSE(std::filesystem::exists(crowd.expected)) << crowd.what;
    }
    EXPECT_EQ(readFile("src.twx"), "the source") << crowd.what;
}

INSTANTIATE_TEST_SUITE_P(
    OtherRuns, WorkingCopyCrowds,
    ::testing::Values(Crowd{"alone", 0, "osrc_tmp.twx", true}, Crowd{"one other run", 1, "osrc_tmp-1.twx", true},
                      Crowd{"three other runs", 3, "osrc_tmp-3.twx", true},
                      Crowd{"every name held", kWorkingCopySlots, "src.twx", false}),
    [](const ::testing::TestParamInfo<Crowd>& info) { return "held" + std::to_string(info.param.held); });

TEST_F(WorkingCopyClaims, CopyLeftByAKilledRunIsReplacedAndRemoved) {
    writeFile("osrc_tmp.twx", "left behind by a killed run");
    ASSERT_EQ(initCycle(&cycle.base), 1);
    EXPECT_STREQ(cycle.workingFileName, "osrc_tmp.twx");
    EXPECT_EQ(readFile("osrc_tmp.twx"), "the source");
    releaseCycleState(&cycle.base);
    EXPECT_FALSE(std::filesystem::exists("osrc_tmp.twx"));
    EXPECT_TRUE(workingCopiesOfOtherRuns().empty());
}

TEST_F(WorkingCopyClaims, SourceThatIsAWorkingCopyNameIsReadInPlaceAndHeld) {
    writeFile("osrc_tmp.twx", "the source");
    cycle.base.parameters = setParameter(cycle.base.parameters, "geoSource", "osrc_tmp.twx", 21);
    ASSERT_EQ(initCycle(&cycle.base), 1);
    EXPECT_STREQ(cycle.workingFileName, "osrc_tmp.twx");
    EXPECT_EQ(cycle.removeWorkingFile, 0);
    // No other run may take it for its copy while it is read.
    platform::ClaimResult result = platform::ClaimResult::Failed;
    EXPECT_EQ(platform::FileClaim::claim("osrc_tmp.twx", result), nullptr);
    EXPECT_EQ(result, platform::ClaimResult::Held);
    releaseCycleState(&cycle.base);
    EXPECT_EQ(readFile("osrc_tmp.twx"), "the source");
    EXPECT_FALSE(platform::isClaimed("osrc_tmp.twx"));
}

}  // namespace
}  // namespace tw
