// The geometry output reaches the disk before it is moved into place, and
// its folder entry after; a sync that fails is a failed write.
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <string>
#include <vector>

#include "cycle/job_runner.h"
#include "platform/writable_file.h"

namespace tw {
namespace {

using namespace testing;
using platform::SyncTarget;

const std::string kStale = "an earlier output\n";

// What the files looked like at each sync, and which sync to fail.
struct SyncLog {
    std::vector<std::string> seen;
    int failing = -1;  // index of the sync that fails, -1 for none
};
SyncLog syncs;

std::string state(const std::string& name) {
    return std::filesystem::exists(name) ? name + "=" + std::to_string(readFile(name).size()) : name + " absent";
}

int observeSync(SyncTarget target, const std::string& path) {
    const int index = static_cast<int>(syncs.seen.size());
    syncs.seen.push_back(std::string(target == SyncTarget::File ? "file " : "folder ") + path + ": " +
                         state("out.twx.part") + ", " + state("out.twx"));
    return index == syncs.failing ? EIO : 0;
}

class DurableOutput : public ::testing::Test {
protected:
    DurableOutput() {
        writeFile("twPntOpt.def", "precision := 3\n");
        writeFile("src.twx", kExchangeHead + "oContour[A]( )\n{\n  oP[1]( x[2] y[0] )\n  oP[2]( x[1] y[0] )\n}\n");
        writeFile("job.pcf", jobParameters("geoSource := src.twx\ngeoOut := out.twx\n"));
        platform::setSyncFaultHook(observeSync);
    }
    ~DurableOutput() override { platform::setSyncFaultHook(nullptr); }
    // Runs the job over a stale output with sync `failing` failing.
    std::int32_t runFailing(int failing) {
        writeFile("out.twx", kStale);
        syncs = SyncLog{{}, failing};
        return runJob({"-Sjob"});
    }
    TempDirectory directory;
};

TEST_F(DurableOutput, FileIsSyncedBeforeTheMoveAndTheFolderAfter) {
    ASSERT_EQ(runFailing(-1), 1);
    const std::string size = std::to_string(readFile("out.twx").size());
    // The file sync sees the whole output still under its pending name and
    // the earlier output in place; the folder sync sees it moved.
    EXPECT_EQ(syncs.seen, (std::vector<std::string>{
                              "file out.twx.part: out.twx.part=" + size + ", out.twx=" + std::to_string(kStale.size()),
                              "folder out.twx: out.twx.part absent, out.twx=" + size}));
}

TEST_F(DurableOutput, FailedSyncOfTheFileOrTheFolderLeavesNoOutput) {
    for (const int failing : {0, 1}) {
        EXPECT_EQ(runFailing(failing), 1) << "sync " << failing;
        EXPECT_EQ(syncs.seen.size(), static_cast<std::size_t>(failing + 1)) << "sync " << failing;
        EXPECT_FALSE(std::filesystem::exists("out.twx")) << "sync " << failing;
        EXPECT_FALSE(std::filesystem::exists("out.twx.part")) << "sync " << failing;
    }
    // The next run is clean.
    EXPECT_EQ(runFailing(-1), 1);
    EXPECT_NE(readFile("out.twx").find("cmnt[N=2;L=2]"), std::string::npos);
}

}  // namespace
}  // namespace tw
