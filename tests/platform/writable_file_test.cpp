#include "platform/writable_file.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <string>

#include "support/temp_directory.h"

namespace tw::platform {
namespace {

using tw::testing::readFile;
using tw::testing::TempDirectory;

// Fails the operation numbered `failAt` (from 1) with `error`.
struct Injection {
    int failAt = 0;
    int error = 0;
    int count = 0;
};
Injection injection;

int inject() { return ++injection.count == injection.failAt ? injection.error : 0; }

class WritableFileTest : public ::testing::Test {
protected:
    ~WritableFileTest() override { setWriteFaultHook(nullptr); }
    void failAt(int operation, int error) {
        injection = Injection{operation, error, 0};
        setWriteFaultHook(inject);
    }
    TempDirectory directory;
};

TEST_F(WritableFileTest, WritesEverythingAndClosesCleanly) {
    std::unique_ptr<WritableFile> file = WritableFile::open("a.txt", WriteMode::Binary);
    ASSERT_NE(file, nullptr);
    EXPECT_TRUE(file->write("one\n"));
    EXPECT_TRUE(file->write(""));
    EXPECT_TRUE(file->write(std::string("two\0three", 9)));
    EXPECT_TRUE(file->close());
    EXPECT_TRUE(file->close());
    EXPECT_FALSE(file->failed());
    EXPECT_EQ(readFile("a.txt"), std::string("one\ntwo\0three", 13));
}

TEST_F(WritableFileTest, OpenFailsForAMissingFolderAndWhenInjected) {
    EXPECT_EQ(WritableFile::open("missing/a.txt", WriteMode::Text), nullptr);
    failAt(1, EIO);
    EXPECT_EQ(WritableFile::open("b.txt", WriteMode::Text), nullptr);
    EXPECT_FALSE(std::filesystem::exists("b.txt"));
}

// Operation 1 is the open; 2 and 3 the writes; 4 the flush of the close,
// 5 the close itself.
struct FailureCase {
    int failAt;
    int error;
    const char* content;  // what reached the file
    bool diskFull;
};

class WritableFileFailure : public WritableFileTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(WritableFileFailure, FirstFailureIsKeptAndLaterWritesRefused) {
    const FailureCase& test = GetParam();
    failAt(test.failAt, test.error);
    std::unique_ptr<WritableFile> file = WritableFile::open("c.txt", WriteMode::Binary);
    ASSERT_NE(file, nullptr);
    const bool first = file->write("abcdefgh");
    const bool second = file->write("ijkl");
    EXPECT_EQ(first, test.failAt != 2);
    EXPECT_EQ(second, test.failAt > 3);
    EXPECT_FALSE(file->close());
    EXPECT_TRUE(file->failed());
    EXPECT_EQ(file->error(), test.error);
    EXPECT_EQ(file->diskFull(), test.diskFull);
    EXPECT_FALSE(file->write("more"));
    EXPECT_FALSE(file->close());
    EXPECT_EQ(readFile("c.txt"), test.content);
}

INSTANTIATE_TEST_SUITE_P(EveryOperation, WritableFileFailure,
                         ::testing::Values(FailureCase{2, ENOSPC, "abcd", true},  // a short write
                                           FailureCase{3, EIO, "abcdefghij", false},
                                           FailureCase{4, EIO, "abcdefghijkl", false},
                                           FailureCase{5, ENOSPC, "abcdefghijkl", true}));

TEST_F(WritableFileTest, FullDeviceIsReportedAsADiskFull) {
    if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    std::unique_ptr<WritableFile> file = WritableFile::open("/dev/full", WriteMode::Binary);
    ASSERT_NE(file, nullptr);
    file->write(std::string(100, 'x'));  // buffered: may seem to succeed
    EXPECT_FALSE(file->close());
    EXPECT_TRUE(file->diskFull());
}

}  // namespace
}  // namespace tw::platform
