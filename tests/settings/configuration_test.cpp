// The configuration slots on their own, with a cycle record of the test's
// own, in a scratch directory.
#include "settings/configuration.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <string>

#include "framework/owned_text.h"
#include "settings/parameter_list.h"
#include "settings/scratch_directory.h"

namespace tw {
namespace {

using Matrix = std::array<double, 16>;

Matrix toArray(const double (&m)[16]) {
    Matrix result;
    for (int i = 0; i < 16; ++i) result[static_cast<std::size_t>(i)] = m[i];
    return result;
}

const Matrix kIdentity = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

class Configuration : public ::testing::Test {
protected:
    Configuration() {
        cycle.identifier = "twPntOpt";
        for (double* m : {cycle.frame, cycle.toolFrame, cycle.localFrame}) {
            for (int i = 0; i < 16; ++i) m[i] = 99;  // not a frame: every slot must set it
        }
    }
    ~Configuration() override {
        freeParameters(cycle.parameters);
        freeParameters(cycle.cfgEntries);
        releaseText(cycle.settingsSource);
    }

    void source(const char* name) {
        releaseText(cycle.settingsSource);
        cycle.settingsSource = copyText(name);
    }

    std::string value(const char* name, std::uint16_t* level = nullptr) const {
        return getParameter(cycle.parameters, name, level).value_or("(absent)");
    }

    testing::ScratchDirectory directory;
    Cycle cycle{};
};

TEST_F(Configuration, DefinitionsThenJobWithTheirLevels) {
    directory.write("twPntOpt.def", "a := def\nb := def\n");
    directory.write("job.pcf", "b := job\nc := job\n");
    source("job");
    EXPECT_EQ(readSettings(&cycle), 1);
    std::uint16_t level = 0;
    EXPECT_EQ(value("a", &level), "def");
    EXPECT_EQ(level, 13);
    EXPECT_EQ(value("b", &level), "job");
    EXPECT_EQ(level, 21);
    EXPECT_EQ(value("c", &level), "job");
    EXPECT_EQ(level, 21);
}

TEST_F(Configuration, JobExtensionIsAddedUnlessPresentInAnyCase) {
    directory.write("job.PCF", "upper := 1\n");
    directory.write("job.PCF.pcf", "doubled := 1\n");
    directory.write("ab.pcf", "short := 1\n");
    source("job.PCF");
    readSettings(&cycle);
    source("ab");
    readSettings(&cycle);
    EXPECT_EQ(value("upper"), "1");
    EXPECT_EQ(value("doubled"), "(absent)");
    EXPECT_EQ(value("short"), "1");
}

TEST_F(Configuration, JobInAFolder) {
    directory.write("jobs/a.pcf", "inFolder := 1\n");
    source("jobs/a");
    readSettings(&cycle);
    EXPECT_EQ(value("inFolder"), "1");
}

TEST_F(Configuration, JobFromStandardInput) {
    directory.write("input", "fromInput := 1\n");
    directory.write("| stdin.pcf", "fromFile := 1\n");
    ASSERT_NE(std::freopen("input", "rb", stdin), nullptr);
    source("| stdin");
    readSettings(&cycle);
    EXPECT_EQ(value("fromInput"), "1");
    EXPECT_EQ(value("fromFile"), "(absent)");
}

TEST_F(Configuration, NoFilesGiveIdentityFrames) {
    cycle.identifier = nullptr;
    EXPECT_EQ(readSettings(&cycle), 1);
    EXPECT_EQ(cycle.parameters, nullptr);
    EXPECT_EQ(toArray(cycle.frame), kIdentity);
    EXPECT_EQ(toArray(cycle.toolFrame), kIdentity);
    EXPECT_EQ(toArray(cycle.localFrame), kIdentity);
}

TEST_F(Configuration, AxesAndOrigin) {
    directory.write("twPntOpt.def", "frameCs_x := \"0 2 0\"\nframeCs_y := \"1e-9 0 0\"\nframeCs_o := \"10 20 30\"\n");
    readSettings(&cycle);
    EXPECT_EQ(toArray(cycle.frame), (Matrix{0, 0, 0, 10, 1, 1, 0, 20, 0, 0, 1, 30, 0, 0, 0, 1}));
}

TEST_F(Configuration, ToolFrameDefaultsToTheWorkFrame) {
    directory.write("twPntOpt.def", "frameCs_o := \"10 20 30\"\nframeCs_z := \"0 0 -1\"\ntoolCs_z := \"0 0 1\"\n");
    readSettings(&cycle);
    std::uint16_t level = 0;
    EXPECT_EQ(value("toolCs_o", &level), "10 20 30");
    EXPECT_EQ(level, 31);
    EXPECT_EQ(value("toolCs_z", &level), "0 0 1");
    EXPECT_EQ(level, 13);
    EXPECT_EQ(value("toolCs_x"), "(absent)");
    EXPECT_EQ(toArray(cycle.toolFrame), (Matrix{1, 0, 0, 10, 0, 1, 0, 20, 0, 0, 1, 30, 0, 0, 0, 1}));
    EXPECT_EQ(toArray(cycle.frame), (Matrix{1, 0, 0, 10, 0, 1, 0, 20, 0, 0, -1, 30, 0, 0, 0, 1}));
}

TEST_F(Configuration, LocalFrameIsRelativeToTheWorkFrame) {
    directory.write("twPntOpt.def",
                    "frameCs_x := \"0 1 0\"\nframeCs_y := \"-1 0 0\"\nframeCs_o := \"1 2 3\"\n"
                    "locFrameCs_o := \"11 22 33\"\n");
    readSettings(&cycle);
    const Matrix expected = {0, 1, 0, 20, -1, 0, 0, -10, 0, 0, 1, 30, 0, 0, 0, 1};
    for (int i = 0; i < 16; ++i) EXPECT_DOUBLE_EQ(cycle.localFrame[i], expected[static_cast<std::size_t>(i)]) << i;
}

TEST_F(Configuration, SingularWorkFrameLeavesTheLocalMatrix) {
    directory.write("twPntOpt.def", "frameCs_x := \"0 1 0\"\nlocFrameCs_o := \"1 2 3\"\n");
    readSettings(&cycle);
    EXPECT_EQ(toArray(cycle.localFrame), (Matrix{1, 0, 0, 1, 0, 1, 0, 2, 0, 0, 1, 3, 0, 0, 0, 1}));
}

TEST_F(Configuration, CfgEntriesStarredParametersAndFrames) {
    directory.write("job.CFG",
                    "*APT prog 1 #c\r\n*FRAME_ID 7\r\n*FRAME_COMMENT a/b\r\n*NCKO_O 1 2 3\r\n"
                    "*NCKO_O 4 5 6\r\n*NCKO_X 0 1 0\r\n*NCKO_Y -1 0 0\r\n*NCKO_X 0 0\r\n*FRAME_ID 8\r\n*APT\r\n");
    directory.write("twPntOpt.def", "fromDefinitions := 1\n");
    cycle.parameters = setParameter(cycle.parameters, "*WZKO_O", "7 8 9", 21);
    source("job.CFG");
    EXPECT_EQ(readCfgSettings(&cycle), 1);
    std::uint16_t level = 0;
    EXPECT_EQ(value("pofFilename", &level), "prog 1");
    EXPECT_EQ(level, 31);
    EXPECT_EQ(value("zeroPointID"), "8");
    EXPECT_EQ(value("frameComment", &level), "a\\047b");
    EXPECT_EQ(level, 31);
    EXPECT_EQ(value("fromDefinitions"), "(absent)");
    int entries = 0;
    for (const Parameter* node = cycle.cfgEntries; node != nullptr; node = node->next, ++entries) {
        EXPECT_EQ(node->level, 21);
    }
    EXPECT_EQ(entries, 10);
    EXPECT_EQ(toArray(cycle.frame), (Matrix{0, -1, 0, 4, 1, 0, 0, 5, 0, 0, 1, 6, 0, 0, 0, 1}));
    EXPECT_EQ(toArray(cycle.toolFrame), (Matrix{0, -1, 0, 7, 1, 0, 0, 8, 0, 0, 1, 9, 0, 0, 0, 1}));
    for (double v : cycle.localFrame) EXPECT_EQ(v, 99);  // untouched in ".CFG" mode
}

TEST_F(Configuration, CfgExtensionIsAddedUnlessPresentInAnyCase) {
    directory.write("job.cfg", "*A 1\n");
    directory.write("x.CFG", "*B 1\n");
    source("job.cfg");
    readCfgSettings(&cycle);
    source("x");
    readCfgSettings(&cycle);
    ASSERT_NE(cycle.cfgEntries, nullptr);
    EXPECT_STREQ(cycle.cfgEntries->name, "*A");
    ASSERT_NE(cycle.cfgEntries->next, nullptr);
    EXPECT_STREQ(cycle.cfgEntries->next->name, "*B");
}

TEST(FrameComment, EscapedAndCutAtWholeCharacters) {
    EXPECT_EQ(escapeFrameComment("a/b"), "a\\047b");
    const std::size_t limit = kFrameCommentSize - 1;
    EXPECT_EQ(escapeFrameComment(std::string(600, 'a')), std::string(limit, 'a'));
    EXPECT_EQ(escapeFrameComment(std::string(limit, 'a')), std::string(limit, 'a'));
    // 'a' and 127 escapes fill 509 characters; the 128th would end at 513.
    std::string expected = "a";
    for (int i = 0; i < 127; ++i) expected += "\\047";
    EXPECT_EQ(escapeFrameComment("a" + std::string(200, '/')), expected);
    for (std::size_t plain = limit - 4; plain <= limit; ++plain) {
        const std::string escaped = escapeFrameComment(std::string(plain, 'a') + "/////");
        EXPECT_LE(escaped.size(), limit);
        EXPECT_EQ((escaped.size() - plain) % 4, 0u) << plain;  // no escape is split
    }
}

}  // namespace
}  // namespace tw
