// Character classes and the limits that keep one item's memory bounded.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "exchange/character_classes.h"
#include "exchange/exchange_reader.h"
#include "exchange_fixture.h"

namespace tw {
namespace {

using exchange_test::tokensOfFile;

// Every byte against the member lists of the four classes.
TEST(ExchangeCharacterClasses, MembersAreExactlyTheListedOnes) {
    const std::string nameExtras = "#$%&-@\\_";
    for (int c = 0; c < 256; ++c) {
        const bool alphanumeric = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
        const bool name = alphanumeric || nameExtras.find(static_cast<char>(c)) != std::string::npos;
        const bool printable = c >= '!' && c <= '~';
        EXPECT_EQ(isNameCharacter(c), name) << c;
        EXPECT_EQ(isValueNameCharacter(c), name || c == '.') << c;
        EXPECT_EQ(isValueCharacter(c), printable && c != '[' && c != ']' && c != '`') << c;
        EXPECT_EQ(isBodyCharacter(c), (printable && c != '(' && c != ')' && c != '`') || c == ' ' || c == '\t') << c;
        EXPECT_EQ(isWhitespace(c), c == ' ' || c == '\t' || c == '\n' || c == '\r') << c;
    }
    EXPECT_FALSE(isNameCharacter(kEndOfData));
    EXPECT_FALSE(isValueCharacter(kEndOfData));
    EXPECT_FALSE(isBodyCharacter(kEndOfData));
    EXPECT_FALSE(isWhitespace(kEndOfData));
}

class ExchangeLimits : public exchange_test::ExchangeScratch {};

// Names, ids, texts and argument values of one item share one budget.
TEST_F(ExchangeLimits, OneItemHoldsAtMostTheCharacterBudget) {
    const std::string fits(kMaxTokenCharacters - 1, 'a');
    std::vector<std::string> tokens = tokensOfFile("big.twx", "vn(" + fits + ") vb(2)");
    ASSERT_EQ(tokens.size(), 2u);
    EXPECT_EQ(tokens[0].size(), std::string("v:n[]").size() + fits.size());
    EXPECT_EQ(tokensOfFile("big.twx", "vb(2) vn(" + fits + "a) vc(3)"), std::vector<std::string>{"v:b[2]"});

    const std::string half(kMaxTokenCharacters / 2, 'x');
    EXPECT_EQ(tokensOfFile("big.twx", "oP[" + half + "](a[" + half + "])").size(), 0u);
    EXPECT_EQ(tokensOfFile("big.twx", "oP[" + half + "](a[" + half.substr(2) + "])").size(), 1u);
    // A body left in the file does not count.
    EXPECT_EQ(tokensOfFile("big.twx", "mbody[" + half + "](" + half + ")").size(), 1u);
}

TEST_F(ExchangeLimits, OneObjectHoldsAtMostTheArgumentLimit) {
    std::string arguments;
    for (std::size_t i = 0; i < kMaxTokenArguments; ++i) arguments += "a[] ";
    EXPECT_EQ(tokensOfFile("many.twx", "oP(" + arguments + ")").size(), 1u);
    EXPECT_EQ(tokensOfFile("many.twx", "oP(" + arguments + "a[])").size(), 0u);
}

}  // namespace
}  // namespace tw
