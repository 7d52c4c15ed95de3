// Parameter files read into the parameter list: levels, folders, refused
// names and paths, HOME and the standard input.
#include "settings/parameter_files.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

#include "settings/parameter_list.h"
#include "settings/scratch_directory.h"
#include "support/home_scope.h"

namespace tw {
namespace {

using testing::HomeScope;

class ReadParameterFile : public ::testing::Test {
protected:
    ~ReadParameterFile() override { freeParameters(list); }
    testing::ScratchDirectory directory;
    Parameter* list = nullptr;
};

TEST_F(ReadParameterFile, StoresEntriesWithValuesAtTheLevel) {
    directory.write("a.pcf", "depth := 5\nempty :=\nalone\ndepth := 6\nname := x\n");
    list = readParameterFile(list, "a.pcf", 21);
    std::uint16_t level = 0;
    EXPECT_EQ(getParameter(list, "depth", &level), "6");
    EXPECT_EQ(level, 21);
    EXPECT_EQ(getParameter(list, "name"), "x");
    EXPECT_EQ(getParameter(list, "empty"), std::nullopt);
    EXPECT_EQ(getParameter(list, "alone"), std::nullopt);
}

TEST_F(ReadParameterFile, ForwardSlashSeparatesFolders) {
    directory.write("jobs/a.pcf", "inFolder := yes\n");
    list = readParameterFile(list, "jobs/a.pcf", 21);
    EXPECT_EQ(getParameter(list, "inFolder"), "yes");
}

TEST_F(ReadParameterFile, MissingFileAndRefusedNamesLeaveTheListAlone) {
    list = setParameter(list, "keep", "1", 13);
    Parameter* const before = list;
    directory.write("stdin", "a := 1\n");
    list = readParameterFile(list, "missing.pcf", 21);
    list = readParameterFile(list, "|stdin", 21);
    list = readParameterFile(list, nullptr, 21);
    EXPECT_EQ(list, before);
    EXPECT_EQ(list->next, nullptr);
}

TEST_F(ReadParameterFile, PathLongerThanTheLimitIsRefused) {
    // Folders of at most 100 characters, 505 characters in all.
    std::string folder;
    for (int i = 0; i < 4; ++i) folder += std::string(99, 'd') + "/";
    folder += std::string(kMaxParameterPath - 6 - folder.size(), 'e');
    directory.write(folder + "/a.pcf", "a := 1\n");
    const std::string fits = folder + "/a.pcf";  // exactly the limit
    ASSERT_EQ(fits.size(), kMaxParameterPath);
    list = readParameterFile(list, fits.c_str(), 21);
    EXPECT_EQ(getParameter(list, "a"), "1");

    directory.write(folder + "/ab.pcf", "b := 1\n");
    const std::string tooLong = folder + "/ab.pcf";
    list = readParameterFile(list, tooLong.c_str(), 21);
    EXPECT_EQ(getParameter(list, "b"), std::nullopt);
}

TEST_F(ReadParameterFile, TildeStandsForHome) {
    directory.write("home/job.pcf", "fromHome := 1\n");
    HomeScope home((directory.path() / "home").string().c_str());
    list = readParameterFile(list, "~/job.pcf", 21);
    EXPECT_EQ(getParameter(list, "fromHome"), "1");
}

TEST_F(ReadParameterFile, StandardInputIsReadAndStaysOpen) {
    directory.write("input.pcf", "fromInput := 1\n");
    ASSERT_NE(std::freopen("input.pcf", "rb", stdin), nullptr);
    list = readParameterFile(list, "| stdin", 21);
    EXPECT_EQ(getParameter(list, "fromInput"), "1");
    // A closed standard input could not be read a second time.
    std::clearerr(stdin);
    ASSERT_EQ(std::fseek(stdin, 0, SEEK_SET), 0);
    freeParameters(list);
    list = readParameterFile(nullptr, "| stdin", 13);
    EXPECT_EQ(getParameter(list, "fromInput"), "1");
}

}  // namespace
}  // namespace tw
