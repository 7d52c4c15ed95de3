#include "platform/file_claim.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/temp_directory.h"

namespace tw::platform {
namespace {

using tw::testing::readFile;
using tw::testing::TempDirectory;
using tw::testing::writeFile;

TEST(FileClaim, OneHolderAtATimeAndTheFileIsNeverEmptied) {
    TempDirectory directory;
    writeFile("a.twx", "kept");
    ClaimResult result = ClaimResult::Failed;
    std::unique_ptr<FileClaim> first = FileClaim::claim("a.twx", result);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(result, ClaimResult::Claimed);
    EXPECT_EQ(first->path(), "a.twx");

    // A second claim in the same process counts as another holder: runs
    // nested in one process are kept apart as well.
    EXPECT_EQ(FileClaim::claim("a.twx", result), nullptr);
    EXPECT_EQ(result, ClaimResult::Held);
    EXPECT_TRUE(isClaimed("a.twx"));

    first.reset();
    EXPECT_FALSE(isClaimed("a.twx"));
    EXPECT_NE(FileClaim::claim("a.twx", result), nullptr);
    EXPECT_EQ(readFile("a.twx"), "kept");
}

TEST(FileClaim, CreatesAMissingFileButProbingCreatesNothing) {
    TempDirectory directory;
    EXPECT_FALSE(isClaimed("absent.twx"));
    EXPECT_FALSE(std::filesystem::exists("absent.twx"));
    ClaimResult result = ClaimResult::Failed;
    EXPECT_NE(FileClaim::claim("new.twx", result), nullptr);
    EXPECT_TRUE(std::filesystem::exists("new.twx"));
}

TEST(FileClaim, FolderOrMissingFolderFailsRatherThanCountingAsHeld) {
    TempDirectory directory;
    std::filesystem::create_directory("folder.twx");
    for (const char* path : {"folder.twx", "missing/a.twx"}) {
        ClaimResult result = ClaimResult::Claimed;
        EXPECT_EQ(FileClaim::claim(path, result), nullptr) << path;
        EXPECT_EQ(result, ClaimResult::Failed) << path;
        EXPECT_FALSE(isClaimed(path)) << path;
    }
}

#if !defined(_WIN32)
// (On Windows the name of a removed file stays taken until its holder
// closes it; a claim meanwhile counts as held.)
TEST(FileClaim, NameRemovedByItsHolderIsClaimedAnewAsANewFile) {
    TempDirectory directory;
    ClaimResult result = ClaimResult::Failed;
    std::unique_ptr<FileClaim> holder = FileClaim::claim("a.twx", result);
    ASSERT_NE(holder, nullptr);
    std::filesystem::remove("a.twx");
    // The removed file is still claimed, but the name is free for a new one.
    std::unique_ptr<FileClaim> next = FileClaim::claim("a.twx", result);
    EXPECT_NE(next, nullptr);
    EXPECT_EQ(result, ClaimResult::Claimed);
}
#endif

}  // namespace
}  // namespace tw::platform
