#include "settings/cfg_file.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "settings/parameter_list.h"
#include "settings/scratch_directory.h"
#include "support/test_names.h"

namespace tw {
namespace {

using Entries = std::vector<std::pair<std::string, std::string>>;

Entries readEntries(std::string_view bytes) {
    std::FILE* stream = testing::streamOf(bytes);
    Parameter* list = readCfgStream(nullptr, stream, 21);
    std::fclose(stream);
    Entries entries;
    for (const Parameter* node = list; node != nullptr; node = node->next) {
        EXPECT_EQ(node->level, 21);
        entries.emplace_back(node->name, node->value);
    }
    freeParameters(list);
    return entries;
}

struct CfgCase {
    const char* what;
    std::string input;
    Entries expected;
};

class CfgFile : public ::testing::TestWithParam<CfgCase> {};

TEST_P(CfgFile, YieldsTheEntries) { EXPECT_EQ(readEntries(GetParam().input), GetParam().expected) << GetParam().what; }

INSTANTIATE_TEST_SUITE_P(
    Lines, CfgFile,
    ::testing::Values(
        // The comment ends at the CR; the LF ends the entry.
        CfgCase{"comment with CR LF", "  *APT   prog 1  #c\r\n*FRAME_ID 7\r\n", {{"*APT", "prog 1"}, {"*FRAME_ID", "7"}}},
        // The LF ends only the comment, so the next line joins the value.
        CfgCase{"comment with LF", "  *APT   prog 1  #c\n*FRAME_ID 7\n", {{"*APT", "prog 1  *FRAME_ID 7"}}},
        CfgCase{"comment with CR", "*APT a #c\rB 1\r", {{"*APT", "a B 1"}}},
        CfgCase{"blanks become spaces", "N\ta\t\tb  c \t\n", {{"N", "a  b  c"}}},
        CfgCase{"name alone", "*ALONE\n*BLANKS   \t\n", {{"*ALONE", ""}, {"*BLANKS", ""}}},
        CfgCase{"repeated names keep their order", "*A 1\n*B 2\n*A 3\n", {{"*A", "1"}, {"*B", "2"}, {"*A", "3"}}},
        CfgCase{"empty and blank lines", "\n\r\n  \t \n*A 1\n\n", {{"*A", "1"}}},
        CfgCase{"comment line with CR LF", "# only\r\n*A 1\r\n", {{"*A", "1"}}},
        CfgCase{"comment inside a name", "*AB#c\r\n*C 1\r\n", {{"*AB", ""}, {"*C", "1"}}},
        CfgCase{"comment before the value", "*A   #c\r\n", {{"*A", ""}}},
        CfgCase{"no final line end", "*A 1\n*B 2", {{"*A", "1"}, {"*B", "2"}}},
        CfgCase{"comment at the end", "*A 1 #c", {{"*A", "1"}}},
        CfgCase{"byte 26 ends the file", "*A 1\x1a*B 2\n", {{"*A", "1"}}},
        CfgCase{"byte 26 after the last line", "*A 1\r\n\x1a", {{"*A", "1"}}}),
    tw_test::NameFromWhat());

// Names keep kCfgNameSize - 1 characters and values kCfgValueSize - 1; the
// rest of the line is dropped and the next entry comes out intact.
TEST(CfgFileLimits, LongNameAndValueAreCut) {
    const std::string name(400, 'N');
    const std::string value(700, 'v');
    const Entries entries = readEntries(name + " " + value + "\r\n*NEXT 1\r\n");
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].first, name.substr(0, kCfgNameSize - 1));
    EXPECT_EQ(entries[0].second, value.substr(0, kCfgValueSize - 1));
    EXPECT_EQ(entries[1], (std::pair<std::string, std::string>{"*NEXT", "1"}));
}

TEST(CfgFileLimits, NameAndValueOfExactlyTheLimitAreKept) {
    const std::string name(kCfgNameSize - 1, 'N');
    const std::string value(kCfgValueSize - 1, 'v');
    const Entries entries = readEntries(name + " " + value + "\n");
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].first, name);
    EXPECT_EQ(entries[0].second, value);
}

TEST(CfgFileLimits, TrailingSpacesOfACutValueAreRemoved) {
    const std::string value = std::string(kCfgValueSize - 3, 'v') + "     tail";
    const Entries entries = readEntries("*A " + value + "\n");
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].second, std::string(kCfgValueSize - 3, 'v'));
}

TEST(CfgFileOpen, AppendsToTheListAndIgnoresMissingFiles) {
    testing::ScratchDirectory directory;
    directory.write("job.CFG", "*APT prog\n");
    Parameter* list = appendEntry(nullptr, "*FIRST", "x", 21);
    list = readCfgFile(list, "missing.CFG", 21);
    list = readCfgFile(list, nullptr, 21);
    list = readCfgFile(list, "job.CFG", 21);
    ASSERT_NE(list->next, nullptr);
    EXPECT_STREQ(list->name, "*FIRST");
    EXPECT_STREQ(list->next->name, "*APT");
    EXPECT_EQ(list->next->next, nullptr);
    freeParameters(list);
}

}  // namespace
}  // namespace tw
