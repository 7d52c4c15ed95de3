#include "exchange/parameter_file.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "exchange/file_names.h"
#include "settings/scratch_directory.h"
#include "support/home_scope.h"
#include "support/test_names.h"

namespace tw {
namespace {

using Entries = std::vector<std::pair<std::string, std::string>>;
using testing::HomeScope;

// Reads `bytes` entry by entry, as readParameterFile does, and returns every
// entry a call delivered.
Entries readAll(std::string_view bytes, std::vector<int>* results = nullptr) {
    std::FILE* stream = testing::streamOf(bytes);
    Entries entries;
    ParameterEntry entry;
    while (!std::feof(stream) && !std::ferror(stream)) {
        const int result = readParameterEntry(stream, entry);
        if (results != nullptr) results->push_back(result);
        if (result == 1) {
            EXPECT_TRUE(entry.name && entry.value);
            entries.emplace_back(*entry.name, *entry.value);
        } else {
            EXPECT_FALSE(entry.name || entry.value);
        }
    }
    std::fclose(stream);
    return entries;
}

struct SyntaxCase {
    const char* what;
    std::string input;
    Entries expected;
};

class ParameterFileSyntax : public ::testing::TestWithParam<SyntaxCase> {};

TEST_P(ParameterFileSyntax, YieldsTheEntries) {
    EXPECT_EQ(readAll(GetParam().input), GetParam().expected) << GetParam().what;
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ParameterFileSyntax,
    ::testing::Values(
        SyntaxCase{"plain", "depth := 5\n", {{"depth", "5"}}},
        SyntaxCase{"no blanks", "a:=1\n", {{"a", "1"}}},
        SyntaxCase{"tabs", "a\t:=\t1\t\n", {{"a", "1"}}},
        SyntaxCase{"quoted name and value", "\"tool name\" := \"a b\"\n", {{"tool name", "a b"}}},
        SyntaxCase{"comment after blank", "x := 1 ; comment\n", {{"x", "1"}}},
        SyntaxCase{"comment glued to value is a fault", "x := 1;comment\ny := 2\n", {{"x", "1"}, {"y", "2"}}},
        SyntaxCase{"continuation", "p := abc >\n   def\n", {{"p", "abcdef"}}},
        SyntaxCase{"glued '>' ends the value", "p := abc>\n   def\n", {{"p", "abc"}, {"def", ""}}},
        SyntaxCase{"several continuations", "p := a >\n b >\n\n c\nq := 1\n", {{"p", "abc"}, {"q", "1"}}},
        SyntaxCase{"continuation then comment", "p := a > ; note\n b\n", {{"p", "ab"}}},
        SyntaxCase{"quoted continuation parts", "p := \"a b\" >\n \"c d\"\n", {{"p", "a bc d"}}},
        SyntaxCase{"continuation at the end", "p := a >\n", {{"p", "a"}}},
        SyntaxCase{"escape tab", "s := \"a\\tb\"\n", {{"s", "a\tb"}}},
        SyntaxCase{"escape others", "s := \"\\b\\n\\r\\\\\\\"\"\n", {{"s", "\b\n\r\\\""}}},
        SyntaxCase{"escape unknown", "s := \"a\\qb\"\n", {{"s", "aqb"}}},
        SyntaxCase{"unclosed quote", "s := \"abc\nt := 1\n", {{"s", "abc"}, {"t", "1"}}},
        SyntaxCase{"backslash at line end", "s := \"ab\\\nt := 1\n", {{"s", "ab"}, {"t", "1"}}},
        SyntaxCase{"glued ';' after quote is consumed", "s := \"a\";c\nt := 1\n", {{"s", "a"}, {"t", "1"}}},
        SyntaxCase{"comment after quote", "s := \"a\" ; c\n", {{"s", "a"}}},
        SyntaxCase{"comment line and empty line", "; remark\n\nz := 1\n", {{"z", "1"}}},
        SyntaxCase{"no value", "name :=\n", {{"name", ""}}},
        SyntaxCase{"split separator", "name : = 1\nb := 2\n", {{"name", ""}, {"b", "2"}}},
        SyntaxCase{"missing separator", "depth 5\n", {{"depth", ""}}},
        SyntaxCase{"name alone", "depth\n", {{"depth", ""}}},
        SyntaxCase{"text after the value", "a := 1 2\nb := 3\n", {{"a", "1"}, {"b", "3"}}},
        SyntaxCase{"empty quoted name", "\"\" := 1\nb := 2\n", {{"b", "2"}}},
        SyntaxCase{"value with '=' and ':'", "a := b=c:d\n", {{"a", "b=c:d"}}},
        SyntaxCase{"CR LF", "a := 1\r\nb := 2\r\n", {{"a", "1"}, {"b", "2"}}},
        SyntaxCase{"CR only", "a := 1\rb := 2\r", {{"a", "1"}, {"b", "2"}}},
        SyntaxCase{"no final line end", "a := 1", {{"a", "1"}}},
        SyntaxCase{"byte 26 ends the entry", std::string("a := 1\x1a\n", 8), {{"a", "1"}}},
        SyntaxCase{"NUL inside a value", std::string("a := x\0y\n", 9), {{"a", std::string("x\0y", 3)}}}),
    tw_test::NameFromWhat());

TEST(ParameterFile, CommentAndEmptyLinesYieldZeroThenTheNextEntry) {
    std::vector<int> results;
    readAll("; remark\n\nz := 1\n", &results);
    EXPECT_EQ(results, (std::vector<int>{0, 1, 0}));
}

TEST(ParameterFile, NullStreamYieldsNothingAndClearsTheEntry) {
    ParameterEntry entry{std::string("old"), std::string("v")};
    EXPECT_EQ(readParameterEntry(nullptr, entry), 0);
    EXPECT_FALSE(entry.name || entry.value);
}

// Names and values keep kMaxParameterText characters; the rest is read and
// dropped so that the following entries are not lost.
TEST(ParameterFile, OverlongNameAndValueAreCutAndTheNextEntrySurvives) {
    const std::string longName(40000, 'n');
    const std::string longValue(40000, 'v');
    const Entries entries = readAll(longName + " := " + longValue + "\nnext := 1\n");
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].first, longName.substr(0, kMaxParameterText));
    EXPECT_EQ(entries[0].second, longValue.substr(0, kMaxParameterText));
    EXPECT_EQ(entries[1], (std::pair<std::string, std::string>{"next", "1"}));
}

TEST(ParameterFile, ContinuedValueIsCutAsAWhole) {
    const std::string first(20000, 'a');
    const std::string second(20000, 'b');
    const Entries entries = readAll("p := \"" + first + "\" >\n" + second + "\nq := 2\n");
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].second, first + second.substr(0, kMaxParameterText - first.size()));
    EXPECT_EQ(entries[1].second, "2");
}

TEST(ParameterFile, ValueOfExactlyTheLimitIsKept) {
    const std::string value(kMaxParameterText, 'v');
    const Entries entries = readAll("a := " + value + "\n");
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].second, value);
}

TEST(InputName, Resolution) {
    HomeScope home("/home/a");
    EXPECT_TRUE(resolveInputName("| stdin")->standardInput);
    EXPECT_FALSE(resolveInputName("|stdin"));
    EXPECT_FALSE(resolveInputName("| stdin "));
    EXPECT_FALSE(resolveInputName("|"));
    EXPECT_FALSE(resolveInputName(nullptr));
    EXPECT_EQ(resolveInputName("~/data.twx")->path, "/home/a/data.twx");
    EXPECT_EQ(resolveInputName("~x")->path, "/home/ax");
    EXPECT_EQ(resolveInputName("plain/name.pcf")->path, "plain/name.pcf");
    EXPECT_FALSE(resolveInputName("plain")->standardInput);
}

TEST(InputName, TildeWithoutHomeIsRefused) {
    HomeScope home(nullptr);
    EXPECT_FALSE(resolveInputName("~/data.twx"));
}

TEST(InputName, ResolvedTildeNameMustFitTheBuffer) {
    HomeScope home("/h");
    const std::string fits = "~" + std::string(kResolvedNameSize - 1 - 2, 'x');  // "/h" + rest = 511
    ASSERT_TRUE(resolveInputName(fits.c_str()));
    EXPECT_EQ(resolveInputName(fits.c_str())->path.size(), kResolvedNameSize - 1);
    const std::string tooLong = fits + "x";
    EXPECT_FALSE(resolveInputName(tooLong.c_str()));
}

}  // namespace
}  // namespace tw
