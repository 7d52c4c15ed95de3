#include "settings/parameter_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tw {
namespace {

class ParameterList : public ::testing::Test {
protected:
    ~ParameterList() override { freeParameters(list); }

    std::vector<std::string> names() const {
        std::vector<std::string> result;
        for (const Parameter* node = list; node != nullptr; node = node->next) result.emplace_back(node->name);
        return result;
    }

    Parameter* list = nullptr;
};

TEST_F(ParameterList, ReplaceKeepsPositionAndTakesNewLevel) {
    list = setParameter(list, "a", "1", 13);
    list = setParameter(list, "b", "x", 13);
    list = setParameter(list, "a", "2", 21);
    EXPECT_EQ(names(), (std::vector<std::string>{"b", "a"}));
    std::uint16_t level = 0;
    EXPECT_EQ(getParameter(list, "a", &level), "2");
    EXPECT_EQ(level, 21);
}

TEST_F(ParameterList, NewNamesGoToTheFront) {
    list = setParameter(list, "x", "1", 21);
    list = setParameter(list, "y", "1", 21);
    list = setParameter(list, "z", "1", 21);
    EXPECT_EQ(names(), (std::vector<std::string>{"z", "y", "x"}));
}

TEST_F(ParameterList, EmptyOrMissingTextsAreNotStored) {
    list = setParameter(list, "b", "", 21);
    list = setParameter(list, "b", nullptr, 21);
    list = setParameter(list, "", "1", 21);
    list = setParameter(list, nullptr, "1", 21);
    EXPECT_EQ(list, nullptr);
    EXPECT_EQ(getParameter(list, "b"), std::nullopt);
}

TEST_F(ParameterList, LookupIsCaseSensitiveAndLeavesLevelAloneWhenAbsent) {
    list = setParameter(list, "a", "1", 13);
    std::uint16_t level = 99;
    EXPECT_EQ(getParameter(list, "A", &level), std::nullopt);
    EXPECT_EQ(level, 99);
    EXPECT_EQ(getParameter(list, "ab"), std::nullopt);
    EXPECT_EQ(getParameter(list, nullptr), std::nullopt);
}

TEST_F(ParameterList, AppendKeepsRepeatedNamesInOrder) {
    list = appendEntry(list, "*APT", "first", 21);
    list = appendEntry(list, "*X", nullptr, 21);
    list = appendEntry(list, "*APT", "second", 21);
    list = appendEntry(list, "", "ignored", 21);
    ASSERT_EQ(names(), (std::vector<std::string>{"*APT", "*X", "*APT"}));
    EXPECT_STREQ(list->value, "first");
    EXPECT_STREQ(list->next->value, "");
    EXPECT_STREQ(list->next->next->value, "second");
}

TEST_F(ParameterList, AdoptTakesBothTextsOnInsertAndOnlyTheValueOnReplace) {
    ParameterEntry pair{"depth", "5"};
    list = adoptParameter(list, pair, 21);
    EXPECT_FALSE(pair.name);
    EXPECT_FALSE(pair.value);

    ParameterEntry again{"depth", "7"};
    list = adoptParameter(list, again, 13);
    EXPECT_EQ(again.name, "depth");
    EXPECT_FALSE(again.value);
    std::uint16_t level = 0;
    EXPECT_EQ(getParameter(list, "depth", &level), "7");
    EXPECT_EQ(level, 13);

    ParameterEntry empty{"depth", ""};
    list = adoptParameter(list, empty, 21);
    EXPECT_EQ(empty.value, "");
    EXPECT_EQ(getParameter(list, "depth"), "7");
}

}  // namespace
}  // namespace tw
