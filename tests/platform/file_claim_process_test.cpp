// A claim held by another process, and what a killed holder leaves.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include "platform/file_claim.h"
#include "support/temp_directory.h"

namespace tw::platform {
namespace {

TEST(FileClaimAcrossProcesses, KilledHolderLeavesTheFileButNoClaim) {
    tw::testing::TempDirectory directory;
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ClaimResult result = ClaimResult::Failed;
        std::unique_ptr<FileClaim> claim = FileClaim::claim("a.twx", result);
        const char byte = claim != nullptr ? 'y' : 'n';
        if (write(ready[1], &byte, 1) != 1) _exit(1);
        for (;;) pause();
    }
    close(ready[1]);
    char byte = 0;
    ASSERT_EQ(read(ready[0], &byte, 1), 1);
    close(ready[0]);
    ASSERT_EQ(byte, 'y');

    ClaimResult result = ClaimResult::Claimed;
    EXPECT_EQ(FileClaim::claim("a.twx", result), nullptr);
    EXPECT_EQ(result, ClaimResult::Held);
    EXPECT_TRUE(isClaimed("a.twx"));

    kill(child, SIGKILL);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_FALSE(isClaimed("a.twx"));
    EXPECT_NE(FileClaim::claim("a.twx", result), nullptr);
    EXPECT_EQ(result, ClaimResult::Claimed);
}

}  // namespace
}  // namespace tw::platform
