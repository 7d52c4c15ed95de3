// The ordered drill file reaches the disk before it is moved into place, and
// its folder entry after; a failing sync leaves no output (and never
// removes the input).
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/writable_file.h"
#include "support/temp_directory.h"
#include "twcycle/drill/drill_command.h"
#include "twcycle/exit_status.h"

namespace {

using tw::platform::SyncTarget;
namespace fs = std::filesystem;

struct SyncLog {
    std::vector<std::string> seen;
    int failing = -1;
};
SyncLog syncs;

int observeSync(SyncTarget target, const std::string& path) {
    const int index = static_cast<int>(syncs.seen.size());
    std::string pending = "pending absent";
    for (const auto& entry : fs::directory_iterator("."))
        if (entry.path().filename().string().find("pending") != std::string::npos) pending = "pending present";
    syncs.seen.push_back(std::string(target == SyncTarget::File ? "file: " : "folder: ") + pending +
                         (fs::exists("out.drl") ? ", output present" : ", output absent") +
                         (target == SyncTarget::Folder ? ", " + fs::path(path).filename().string() : ""));
    return index == syncs.failing ? EIO : 0;
}

int orderDrillFile(const std::string& output, int failing) {
    syncs = SyncLog{{}, failing};
    std::string input = "board.drl";
    std::string dashO = "-o";
    std::string name = output;
    std::string command = "drill";
    std::string quiet = "--quiet";
    char* arguments[] = {command.data(), input.data(), dashO.data(), name.data(), quiet.data()};
    std::FILE* sink = std::tmpfile();
    const int status = twcycle::drill::runDrillCommand(5, arguments, TW_MODULE_PATH, sink, sink);
    std::fclose(sink);
    return status;
}

class DrillOutputSync : public ::testing::Test {
protected:
    DrillOutputSync() {
        fs::copy_file(fs::path(TW_SOURCE_DIR) / "examples" / "board.drl", "board.drl");
        tw::platform::setSyncFaultHook(observeSync);
    }
    ~DrillOutputSync() override { tw::platform::setSyncFaultHook(nullptr); }
    tw::testing::TempDirectory directory;
};

TEST_F(DrillOutputSync, FileIsSyncedBeforeTheMoveAndTheFolderAfter) {
    ASSERT_EQ(orderDrillFile("out.drl", -1), twcycle::kExitOk);
    EXPECT_EQ(syncs.seen, (std::vector<std::string>{"file: pending present, output absent",
                                                    "folder: pending absent, output present, out.drl"}));
}

TEST_F(DrillOutputSync, FailedSyncLeavesNoOutputAndKeepsTheInput) {
    const std::string input = tw::testing::readFile("board.drl");
    for (const int failing : {0, 1}) {
        EXPECT_EQ(orderDrillFile("out.drl", failing), twcycle::kExitNoOutput) << "sync " << failing;
        EXPECT_FALSE(fs::exists("out.drl")) << "sync " << failing;
        EXPECT_EQ(syncs.seen.size(), static_cast<std::size_t>(failing + 1)) << "sync " << failing;
    }
    // Replacing the input: a failing file sync keeps the input as it was; a
    // failing folder sync after the move keeps the ordered file in its place.
    EXPECT_EQ(orderDrillFile("board.drl", 0), twcycle::kExitNoOutput);
    EXPECT_EQ(tw::testing::readFile("board.drl"), input);
    EXPECT_EQ(orderDrillFile("board.drl", 1), twcycle::kExitNoOutput);
    EXPECT_TRUE(fs::exists("board.drl"));
    for (const auto& entry : fs::directory_iterator("."))
        EXPECT_EQ(entry.path().filename().string().find("pending"), std::string::npos);
}

}  // namespace
