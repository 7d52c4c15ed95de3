// The value dictionary: entries, scopes with saved values, the counters and
// the limits on depth and growth.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "exchange/value_dictionary.h"

namespace tw {
namespace {

class Dictionary : public ::testing::Test {
protected:
    std::vector<std::pair<std::string, std::string>> entries() const {
        std::vector<std::pair<std::string, std::string>> result;
        for (const DictionaryEntry& entry : *dictionary) result.emplace_back(entry.name, entry.value);
        return result;
    }

    std::optional<std::string> get(const char* name) const { return getDictionaryValue(dictionary.get(), name); }
    int set(const char* name, const char* value) { return setDictionaryValue(dictionary.get(), name, value); }
    int open() { return openDictionaryScope(dictionary.get()); }
    int close() { return closeDictionaryScope(dictionary.get()); }

    std::unique_ptr<ValueDictionary> dictionary = createValueDictionary();
};

using Entries = std::vector<std::pair<std::string, std::string>>;

TEST_F(Dictionary, StartsWithBothCountersAtOne) {
    ASSERT_NE(dictionary, nullptr);
    EXPECT_EQ(dictionary->depth(), 1);
    EXPECT_EQ(dictionary->objectCounter(), 1);
    EXPECT_EQ(dictionary->methodCounter(), 1);
    EXPECT_EQ(entries(), (Entries{{"methodCounter", "1"}, {"objectCounter", "1"}}));
}

TEST_F(Dictionary, SetReportsChangesAndListsNewestFirst) {
    EXPECT_EQ(set("a", "1"), 0);
    EXPECT_EQ(set("b", "2"), 0);
    EXPECT_EQ(set("a", "3"), 1);
    EXPECT_EQ(set("A", "4"), 0);
    EXPECT_EQ(entries(), (Entries{{"A", "4"}, {"b", "2"}, {"a", "3"}, {"methodCounter", "1"}, {"objectCounter", "1"}}));
    EXPECT_EQ(get("a"), "3");
    EXPECT_EQ(get("B"), std::nullopt);
}

TEST_F(Dictionary, EmptyNamesAndValuesNeverEnter) {
    set("a", "1");
    EXPECT_EQ(set("a", ""), 0);
    EXPECT_EQ(set("", "1"), 0);
    EXPECT_EQ(get("a"), "1");
    EXPECT_EQ(dictionary->size(), 3u);
    EXPECT_EQ(setDictionaryValue(nullptr, "a", "1"), 0);
    EXPECT_EQ(getDictionaryValue(nullptr, "a"), std::nullopt);
    EXPECT_EQ(openDictionaryScope(nullptr), 0);
    EXPECT_EQ(closeDictionaryScope(nullptr), 0);
    destroyValueDictionary(nullptr);
}

TEST_F(Dictionary, BlockEndUndoesOverridesAndRemovesNewNames) {
    set("a", "1");
    ASSERT_EQ(open(), 1);
    EXPECT_EQ(dictionary->depth(), 2);
    set("a", "2");
    set("a", "3");
    set("b", "4");
    EXPECT_EQ(get("a"), "3");
    EXPECT_TRUE(dictionary->inCurrentScope(*dictionary->find("b")));
    EXPECT_FALSE(dictionary->inCurrentScope(*dictionary->find("a")));
    EXPECT_EQ(dictionary->currentScopeSize(), 1u);
    ASSERT_EQ(close(), 1);
    EXPECT_EQ(get("a"), "1");
    EXPECT_EQ(get("b"), std::nullopt);
    EXPECT_EQ(dictionary->depth(), 1);
}

// A value from two or more levels out that is changed only in an inner block
// must survive the end of the block between.
TEST_F(Dictionary, OuterValueSurvivesNestedBlocks) {
    set("a", "1");
    open();
    open();
    set("a", "2");
    close();
    EXPECT_EQ(get("a"), "1");
    close();
    EXPECT_EQ(get("a"), "1");
    EXPECT_EQ(dictionary->find("a")->depth, 1);
}

TEST_F(Dictionary, EachLevelRestoresItsOwnValue) {
    set("a", "1");
    open();
    set("a", "2");
    set("b", "x");
    open();
    set("a", "3");
    set("b", "y");
    set("c", "z");
    close();
    EXPECT_EQ(get("a"), "2");
    EXPECT_EQ(get("b"), "x");
    EXPECT_EQ(get("c"), std::nullopt);
    close();
    EXPECT_EQ(get("a"), "1");
    EXPECT_EQ(get("b"), std::nullopt);
    // A later block saves again.
    open();
    set("a", "4");
    close();
    EXPECT_EQ(get("a"), "1");
}

TEST_F(Dictionary, UnmatchedCloseChangesNothing) {
    set("a", "1");
    EXPECT_EQ(close(), 0);
    EXPECT_EQ(dictionary->depth(), 1);
    EXPECT_EQ(get("a"), "1");
}

TEST_F(Dictionary, CounterEntriesSetTheCounters) {
    struct Case {
        const char* text;
        std::int32_t counter;
    };
    const std::vector<Case> cases = {
        {"10", 10},         {" \t-5x", -5},     {"+7", 7},       {"abc", 0},
        {"3.9", 3},         {"99999999999", 2147483647},          {"-99999999999", -2147483647 - 1},
        {"- 1", 0},
    };
    for (const Case& c : cases) {
        set("objectCounter", c.text);
        EXPECT_EQ(dictionary->objectCounter(), c.counter) << c.text;
        set("methodCounter", c.text);
        EXPECT_EQ(dictionary->methodCounter(), c.counter) << c.text;
    }
}

TEST_F(Dictionary, CountersRestartInABlockAndResumeAfter) {
    dictionary->takeObjectNumber();
    dictionary->takeObjectNumber();
    dictionary->takeMethodNumber();
    EXPECT_EQ(get("objectCounter"), "1");  // mirrored only when a scope opens
    open();
    EXPECT_EQ(dictionary->objectCounter(), 1);
    EXPECT_EQ(dictionary->methodCounter(), 1);
    EXPECT_EQ(get("objectCounter"), "1");
    EXPECT_EQ(dictionary->takeObjectNumber(), 1);
    EXPECT_EQ(dictionary->takeObjectNumber(), 2);
    open();
    EXPECT_EQ(dictionary->takeObjectNumber(), 1);
    close();
    EXPECT_EQ(dictionary->objectCounter(), 3);
    close();
    EXPECT_EQ(dictionary->objectCounter(), 3);
    EXPECT_EQ(dictionary->methodCounter(), 2);
    EXPECT_EQ(get("objectCounter"), "3");
    EXPECT_EQ(get("methodCounter"), "2");
}

TEST_F(Dictionary, CountingWrapsAtTheLargestNumber) {
    set("objectCounter", "2147483647");
    EXPECT_EQ(dictionary->takeObjectNumber(), 2147483647);
    EXPECT_EQ(dictionary->takeObjectNumber(), -2147483647 - 1);
}

// Repeated changes inside one block keep one saved value, and names made in
// blocks go with them: a long run of blocks leaves the dictionary as it was.
TEST_F(Dictionary, DoesNotGrowWithRepeatedChangesOrBlocks) {
    set("a", "0");
    open();
    const std::size_t sizeInBlock = dictionary->size();
    for (int i = 0; i < 100000; ++i) set("a", std::to_string(i).c_str());
    EXPECT_EQ(dictionary->savedValueCount(), 3u);  // a and the two counters
    for (int i = 0; i < 100000; ++i) {
        open();
        set("a", "x");
        set(("new" + std::to_string(i)).c_str(), "y");
        close();
    }
    EXPECT_EQ(dictionary->size(), sizeInBlock);
    EXPECT_EQ(dictionary->savedValueCount(), 3u);
    close();
    EXPECT_EQ(get("a"), "0");
    EXPECT_EQ(dictionary->savedValueCount(), 0u);
}

TEST_F(Dictionary, DepthLimit) {
    set("a", "outer");
    for (int level = 1; level < kMaxDictionaryDepth; ++level) {
        ASSERT_EQ(open(), 1) << level;
        set("a", "inner");
    }
    EXPECT_EQ(dictionary->depth(), kMaxDictionaryDepth);
    EXPECT_EQ(open(), 0);
    EXPECT_EQ(dictionary->depth(), kMaxDictionaryDepth);
    int closed = 0;
    while (close() == 1) ++closed;
    EXPECT_EQ(closed, kMaxDictionaryDepth - 1);
    EXPECT_EQ(get("a"), "outer");
    EXPECT_EQ(dictionary->size(), 3u);
    EXPECT_EQ(dictionary->savedValueCount(), 0u);
}

}  // namespace
}  // namespace tw
