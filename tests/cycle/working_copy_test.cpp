// The working copy under failing writes, alone and as the cycle makes it.
#include "cycle/working_copy.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "cycle/point_list_cycle.h"
#include "framework/kernel_slots.h"
#include "module/cycle_objects.h"
#include "platform/writable_file.h"
#include "settings/parameter_list.h"
#include "support/temp_directory.h"

namespace tw {
namespace {

using testing::readFile;
using testing::TempDirectory;
using testing::writeFile;

int operations = 0;
int failing = 0;
int failOne() { return ++operations == failing ? ENOSPC : 0; }

class WorkingCopy : public ::testing::Test {
protected:
    WorkingCopy() {
        // Three blocks of 512 bytes and a short one.
        for (int i = 0; source.size() < 1600; ++i) source += "  oP[" + std::to_string(i) + "]( x[1] y[2] )\n";
        writeFile("src.twx", source);
        platform::setWriteFaultHook(failOne);
    }
    ~WorkingCopy() override { platform::setWriteFaultHook(nullptr); }
    void failAt(int operation) {
        operations = 0;
        failing = operation;
    }
    TempDirectory directory;
    std::string source;
};

// Operations: 1 the open, 2 to 5 the four blocks, 6 the flush, 7 the close.
TEST_F(WorkingCopy, AnyShortOrFailingWriteFailsTheCopyAndRemovesIt) {
    failAt(0);
    ASSERT_TRUE(copyFile("src.twx", "copy.twx"));
    EXPECT_EQ(operations, 7);
    EXPECT_EQ(readFile("copy.twx"), source);
    for (int operation = 1; operation <= 7; ++operation) {
        std::filesystem::remove("copy.twx");
        failAt(operation);
        EXPECT_FALSE(copyFile("src.twx", "copy.twx")) << "operation " << operation;
        EXPECT_FALSE(std::filesystem::exists("copy.twx")) << "operation " << operation;
        EXPECT_EQ(readFile("src.twx"), source);
    }
}

TEST_F(WorkingCopy, MissingSourceCopiesNothing) {
    failAt(0);
    EXPECT_FALSE(copyFile("absent.twx", "copy.twx"));
    EXPECT_FALSE(std::filesystem::exists("copy.twx"));
    EXPECT_EQ(operations, 0);
}

TEST_F(WorkingCopy, CycleReadsTheSourceInPlaceAfterAShortCopy) {
    PointListCycle cycle{};
    cycle.base.parent = kernelCycle();
    cycle.base.interfaceVersion = kInterfaceVersion;
    cycle.removeWorkingFile = 1;
    cycle.base.parameters = setParameter(nullptr, "geoSource", "src.twx", 21);
    failAt(3);  // the second block is written short
    ASSERT_EQ(initCycle(&cycle.base), 1);
    EXPECT_STREQ(cycle.workingFileName, "src.twx");
    EXPECT_EQ(cycle.removeWorkingFile, 0);  // the source is never deleted
    EXPECT_FALSE(std::filesystem::exists(kWorkingCopyName));
    releaseCycleState(&cycle.base);
    EXPECT_EQ(readFile("src.twx"), source);
    EXPECT_EQ(cycle.workingFileName, nullptr);
    finishCycle(&cycle.base);
    freeParameters(cycle.base.parameters);
}

}  // namespace
}  // namespace tw
