// Coordinate arguments: the slot rule, the mask, the "o" text, and the
// fixed width of the slot fields.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "exchange/coordinate_arguments.h"

namespace tw {
namespace {

ExchangeToken objectWith(const std::vector<std::pair<std::string, std::optional<std::string>>>& arguments) {
    ExchangeToken token;
    token.kind = 'o';
    token.name = "P";
    for (const auto& [name, value] : arguments) token.arguments.push_back({name, value});
    return token;
}

// The record as "o|x1,y1,z1|x2,y2,z2|x3,y3,z3".
std::string show(const CoordinateTexts& record) {
    std::string text(coordinateText(record.o));
    for (const auto& slot : record.slots) {
        text += '|';
        for (std::size_t axis = 0; axis < 3; ++axis) {
            if (axis > 0) text += ',';
            text += coordinateText(slot[axis]);
        }
    }
    return text;
}

TEST(CoordinateArguments, SlotsAndMask) {
    struct Case {
        std::vector<std::pair<std::string, std::optional<std::string>>> arguments;
        int mask;
        std::string record;
    };
    const std::vector<Case> cases = {
        {{{"x", "1/2/3"}, {"y", "/5"}, {"z", "7"}}, 7, "|1,,7|2,5,|3,,"},
        {{{"o", "-"}}, 0, "-|,,|,,|,,"},
        {{{"x", "12.5"}}, 1, "|12.5,,|,,|,,"},
        {{{"x", "/12.5"}}, 1, "|,,|12.5,,|,,"},
        {{{"x", "//7"}}, 1, "|,,|,,|7,,"},
        {{{"x", "1//3"}}, 1, "|1,,|,,|3,,"},
        {{{"x", "1/"}}, 1, "|1,,|,,|,,"},
        {{{"x", "1/2/3/4"}}, 1, "|1,,|2,,|3,,"},
        {{{"x", "///4"}}, 1, "|,,|,,|,,"},
        {{{"y", std::nullopt}}, 2, "|,,|,,|,,"},
        {{{"x", "1"}, {"x", "/2"}, {"x", "3"}}, 1, "|3,,|2,,|,,"},
        {{{"xx", "1"}, {"X", "2"}, {"p", "3"}, {"", "4"}}, 0, "|,,|,,|,,"},
        {{{"o", "a"}, {"o", std::nullopt}, {"z", "-1.5e3"}}, 4, "|,,-1.5e3|,,|,,"},
    };
    for (const Case& c : cases) {
        CoordinateTexts record{};
        EXPECT_EQ(readCoordinateArguments(record, objectWith(c.arguments)), c.mask) << c.record;
        EXPECT_EQ(show(record), c.record);
    }
}

TEST(CoordinateArguments, UnsetSlotsKeepWhatTheRecordHeld) {
    CoordinateTexts record{};
    readCoordinateArguments(record, objectWith({{"x", "1/2/3"}, {"y", "4/5/6"}, {"o", "keep"}}));
    EXPECT_EQ(readCoordinateArguments(record, objectWith({{"x", "/9"}})), 1);
    EXPECT_EQ(show(record), "keep|1,4,|9,5,|3,6,");
}

// A slot field holds 23 characters. A longer slot text is not taken (the slot
// keeps its text); a longer "o" text is cut.
TEST(CoordinateArguments, FieldWidthLimits) {
    const std::string fits(kCoordinateTextLength, '1');
    const std::string tooLong(kCoordinateTextLength + 1, '2');
    CoordinateTexts record{};
    readCoordinateArguments(record, objectWith({{"x", fits + "/" + fits}}));
    EXPECT_EQ(coordinateText(record.slots[0][0]), fits);
    EXPECT_EQ(coordinateText(record.slots[1][0]), fits);
    EXPECT_EQ(readCoordinateArguments(record, objectWith({{"x", tooLong + "/7/" + tooLong}})), 1);
    EXPECT_EQ(coordinateText(record.slots[0][0]), fits);
    EXPECT_EQ(coordinateText(record.slots[1][0]), "7");
    EXPECT_EQ(coordinateText(record.slots[2][0]), "");

    readCoordinateArguments(record, objectWith({{"o", std::string(40, 'o')}}));
    EXPECT_EQ(coordinateText(record.o), std::string(kCoordinateTextLength, 'o'));
}

}  // namespace
}  // namespace tw
