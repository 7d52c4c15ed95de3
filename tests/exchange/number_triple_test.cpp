#include "exchange/number_triple.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>
#include <string>
#include <vector>
#include "support/test_names.h"

namespace tw {
namespace {

constexpr double kUntouched = -777.0;

struct TripleCase {
    std::string text;
    int found;
    std::vector<double> values;  // the first `found` places
};

class NumberTriple : public ::testing::TestWithParam<TripleCase> {};

TEST_P(NumberTriple, FindsTheNumbers) {
    const TripleCase& c = GetParam();
    double places[3] = {kUntouched, kUntouched, kUntouched};
    EXPECT_EQ(parseNumberTriple(c.text.c_str(), places[0], places[1], places[2]), c.found) << c.text;
    for (int i = 0; i < 3; ++i) {
        if (i < c.found) {
            EXPECT_EQ(places[i], c.values[static_cast<std::size_t>(i)]) << c.text << " number " << i;
        } else {
            EXPECT_EQ(places[i], kUntouched) << c.text << " place " << i;
        }
    }
}

const double kInfinity = std::numeric_limits<double>::infinity();

INSTANTIATE_TEST_SUITE_P(
    Texts, NumberTriple,
    ::testing::Values(TripleCase{"X=1.5, Y=-2e1, Z=.5", 3, {1.5, -20, 0.5}},
                      TripleCase{"10 20", 2, {10, 20}},
                      TripleCase{"none", 0, {}},
                      TripleCase{"", 0, {}},
                      TripleCase{"1 2 3 4", 3, {1, 2, 3}},
                      TripleCase{"1.5-2", 1, {1.5}},
                      TripleCase{"1,5", 2, {1, 5}},
                      TripleCase{"a/b/7", 1, {7}},
                      TripleCase{"+5 +.5 5.", 3, {5, 0.5, 5}},
                      TripleCase{"1e 2E+ 3e-1", 3, {1, 2, 0.3}},
                      TripleCase{"+-5 . -", 3, {0, 0, 0}},
                      TripleCase{"1e999 -1e999 1e-999", 3, {kInfinity, -kInfinity, 0}},
                      TripleCase{"0.0000e999 1" + std::string(400, '0') + " 0." + std::string(400, '0') + "1", 3,
                                 {0, kInfinity, 0}},
                      // A run far longer than any fixed buffer is still read whole.
                      TripleCase{std::string(98, '0') + "15 1" + std::string(79, '0'), 2, {15, 1e79}}),
    [](const ::testing::TestParamInfo<TripleCase>& info) {
        // Texts may repeat once cut: the index keeps the names apart.
        return std::to_string(info.index) + "_" + tw_test::testName(info.param.text);
    });

TEST(NumberTripleText, NullTextFindsNothing) {
    double a = kUntouched, b = kUntouched, c = kUntouched;
    EXPECT_EQ(parseNumberTriple(nullptr, a, b, c), 0);
    EXPECT_EQ(a, kUntouched);
}

TEST(NumberTripleText, NegativeZeroKeepsItsSign) {
    double a = 0, b = 0, c = 0;
    EXPECT_EQ(parseNumberTriple("-0 -1e-999", a, b, c), 2);
    EXPECT_TRUE(std::signbit(a));
    EXPECT_TRUE(std::signbit(b));
}

// The point is always '.', also when the process runs in a locale whose
// decimal point is ','.
TEST(NumberTripleText, ReadsPointsUnderACommaLocale) {
    const std::string saved = std::setlocale(LC_ALL, nullptr);
    const char* names[] = {"de_DE.UTF-8", "de_DE.utf8", "de_DE", "fr_FR.UTF-8", "de_DE@euro"};
    const char* chosen = nullptr;
    for (const char* name : names) {
        if (std::setlocale(LC_ALL, name) != nullptr && std::localeconv()->decimal_point[0] == ',') {
            chosen = name;
            break;
        }
    }
    if (chosen == nullptr) {
        std::setlocale(LC_ALL, saved.c_str());
        GTEST_SKIP() << "no locale with a ',' decimal point is installed";
    }
    double a = 0, b = 0, c = 0;
    const int found = parseNumberTriple("1.5 -2.25e1 ,5", a, b, c);
    std::setlocale(LC_ALL, saved.c_str());
    EXPECT_EQ(found, 3) << chosen;
    EXPECT_EQ(a, 1.5);
    EXPECT_EQ(b, -22.5);
    EXPECT_EQ(c, 5);
}

}  // namespace
}  // namespace tw
