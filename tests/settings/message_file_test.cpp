#include "settings/message_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "settings/scratch_directory.h"
#include "support/test_names.h"

namespace tw {
namespace {

const std::string kDataDirectory = TW_TEST_DATA_DIR "/settings/";

class MessageFile : public ::testing::Test {
protected:
    ~MessageFile() override {
        for (int handle : opened) closeMessageFile(handle);
    }

    int open(const std::string& name, const char* language) {
        const int handle = openMessageFile(name.c_str(), language);
        if (handle >= kFirstMessageHandle) opened.push_back(handle);
        return handle;
    }

    // Every line the section delivers for `language` in a file holding `bytes`.
    std::vector<std::string> section(std::string_view bytes, const char* language) {
        directory.write("m.msg", bytes);
        const int handle = open("m.msg", language);
        std::vector<std::string> lines;
        std::string line;
        while (readMessageLine(handle, line) == 1) lines.push_back(line);
        EXPECT_EQ(line, "");
        EXPECT_EQ(readMessageLine(handle, line), 0);  // stays at its end
        return lines;
    }

    testing::ScratchDirectory directory;
    std::vector<int> opened;
};

using Lines = std::vector<std::string>;

TEST_F(MessageFile, LanguageLineChoosesItsSection) {
    const int handle = open(kDataDirectory + "languages.msg", "english");
    ASSERT_EQ(handle, kFirstMessageHandle);
    std::string line = "stale";
    EXPECT_EQ(readMessageLine(handle, line), 1);
    EXPECT_EQ(line, "Hello");
    EXPECT_EQ(readMessageLine(handle, line), 0);
    EXPECT_EQ(line, "");
}

TEST_F(MessageFile, DefaultLanguageWhenTheWantedOneIsNotListed) {
    const int handle = open(kDataDirectory + "languages.msg", "french");
    std::string line;
    EXPECT_EQ(readMessageLine(handle, line), 1);
    EXPECT_EQ(line, "Hallo");
}

struct SectionCase {
    const char* what;
    std::string file;
    const char* language;
    Lines expected;
};

class MessageSections : public MessageFile, public ::testing::WithParamInterface<SectionCase> {};

TEST_P(MessageSections, DeliverTheLines) {
    EXPECT_EQ(section(GetParam().file, GetParam().language), GetParam().expected) << GetParam().what;
}

INSTANTIATE_TEST_SUITE_P(
    Files, MessageSections,
    ::testing::Values(
        SectionCase{"no language lines: first section", "start german\n:Hallo\nend german\nstart english\n:Hello\n",
                    "english", {"Hallo"}},
        SectionCase{"null language", "start x\n:a\n", nullptr, {"a"}},
        SectionCase{"text keeps ';' and blanks", "start x\n  :text with ; semicolon \n", "x", {"text with ; semicolon "}},
        SectionCase{"comment and other lines", "start x\n; note\n:a\nother\n\n  \t:b\nend\n:c\n", "x", {"a", "b", "c"}},
        SectionCase{"bare end does not end", "start x\n:a\nend\nend \t\n:b\nend x\n:c\n", "x", {"a", "b"}},
        SectionCase{"end with a comment ends", "start x\n:a\nend ;x\n:b\nend y\n:c\n", "x", {"a", "b"}},
        SectionCase{"CR LF", "start x\r\n:a\r\n:b\r\nend x\r\n:c\r\n", "x", {"a", "b"}},
        SectionCase{"last line without line end is lost", "start x\n:a\n:b", "x", {"a"}},
        SectionCase{"byte 26 ends the file", "start x\n:a\n\x1a:b\n", "x", {"a"}},
        SectionCase{"comment after the value", "language x ; c\nstart y\n:y\nstart x ; c\n:x\n", "x", {"x"}},
        SectionCase{"first matching start wins", "language x\nstart x\n:1\nend x\nstart x\n:2\n", "x", {"1"}},
        SectionCase{"language replaces a default", "default y\nlanguage x\nstart y\n:y\nstart x\n:x\n", "x", {"x"}},
        SectionCase{"first default stays", "default y\ndefault x\nstart x\n:x\nstart y\n:y\n", "z", {"y"}},
        SectionCase{"lines outside keywords skipped", "Hello\n#x\nstart x\n:a\n", "x", {"a"}},
        SectionCase{"keywords on one line", "default x start x\n:a\n", "z", {"a"}},
        SectionCase{"capital L skips the line", "default german\nLanguage english\nstart english\n:Hello\n", "english",
                    {}},
        SectionCase{"unlisted keyword ends the scan", "lang english\nstart english\n:Hello\n", "english", {}},
        SectionCase{"start without value", "start\nstart \nstart x\n:a\n", "x", {"a"}},
        SectionCase{"start at the end of file", "start x", "x", {}},
        SectionCase{"empty file", "", "x", {}}),
    tw_test::NameFromWhat());

// A text line keeps kMessageLineSize - 1 characters; the rest is dropped and
// the next line comes out intact.
TEST_F(MessageFile, LongTextLineIsCut) {
    const std::string text(400, 't');
    EXPECT_EQ(section("start x\n:" + text + "\n:next\n", "x"),
              (Lines{text.substr(0, kMessageLineSize - 1), "next"}));
    const std::string fits(kMessageLineSize - 1, 'f');
    EXPECT_EQ(section("start x\n:" + fits + "\n", "x"), (Lines{fits}));
}

// A language word that does not fit its buffer equals no language, even one
// that starts with the same characters.
TEST_F(MessageFile, OverlongLanguageEqualsNoLanguage) {
    const std::string longWord(kMessageValueSize + 40, 'x');
    const std::string cut = longWord.substr(0, kMessageValueSize - 1);
    EXPECT_EQ(section("language " + longWord + "\nstart " + longWord + "\n:a\nend x\nstart " + cut + "\n:b\n",
                      longWord.c_str()),
              (Lines{"a"}));  // no language chosen: the first start counts
    EXPECT_EQ(section("language " + longWord + "\ndefault y\nstart " + cut + "\n:a\nstart y\n:b\n", cut.c_str()),
              (Lines{"b"}));
    const std::string fits(kMessageValueSize - 1, 'x');
    EXPECT_EQ(section("language " + fits + "\nstart y\n:a\nstart " + fits + "\n:b\n", fits.c_str()), (Lines{"b"}));
}

TEST_F(MessageFile, OverlongKeywordNamesNoKeyword) {
    const std::string word = "start" + std::string(100, 'a');
    EXPECT_EQ(section(word + " x\nstart x\n:a\n", "x"), Lines{});
    EXPECT_EQ(section("start x\n:a\n" + std::string(100, 'e') + "nd x\n:b\n", "x"), (Lines{"a", "b"}));
}

TEST_F(MessageFile, HandlesRunOutAfterFourAndAreReused) {
    directory.write("m.msg", "start x\n:a\n");
    EXPECT_EQ(open("m.msg", "x"), 123);
    EXPECT_EQ(open("m.msg", "x"), 124);
    EXPECT_EQ(open("m.msg", "x"), 125);
    EXPECT_EQ(open("m.msg", "x"), 126);
    EXPECT_EQ(open("m.msg", "x"), kNoFreeMessageHandle);
    EXPECT_EQ(open("missing.msg", "x"), kNoFreeMessageHandle);
    closeMessageFile(124);
    opened.erase(opened.begin() + 1);
    EXPECT_EQ(open("m.msg", "x"), 124);
    std::string line;
    EXPECT_EQ(readMessageLine(124, line), 1);
    EXPECT_EQ(line, "a");
}

TEST_F(MessageFile, UnknownHandlesAndMissingFiles) {
    EXPECT_EQ(open("missing.msg", "x"), kUnreadableMessageFile);
    EXPECT_EQ(openMessageFile(nullptr, "x"), kUnreadableMessageFile);
    std::string line = "stale";
    for (int handle : {0, 122, 123, 126, 127, -1}) {
        EXPECT_EQ(readMessageLine(handle, line), 0) << handle;
        EXPECT_EQ(line, "");
        closeMessageFile(handle);  // ignored
    }
    directory.write("m.msg", "start x\n:a\n");
    EXPECT_EQ(open("m.msg", "x"), kFirstMessageHandle);
}

TEST_F(MessageFile, ShowSectionNeedsOneLineAndClosesTheFile) {
    directory.write("full.msg", "start x\n:a\n:b\n");
    directory.write("empty.msg", "start x\nend x\n:a\n");
    directory.write("none.msg", "start y\n:a\n");
    for (int round = 0; round < 5; ++round) {  // more rounds than handles
        EXPECT_EQ(showMessageSection("full.msg", "x"), 1);
        EXPECT_EQ(showMessageSection("empty.msg", "x"), 0);
        EXPECT_EQ(showMessageSection("none.msg", "x"), 1);  // no language chosen: any start
        EXPECT_EQ(showMessageSection("missing.msg", "x"), 0);
    }
    for (int handle = 123; handle <= 126; ++handle) EXPECT_EQ(open("full.msg", "x"), handle);
}

}  // namespace
}  // namespace tw
