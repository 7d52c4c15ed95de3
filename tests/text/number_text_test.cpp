#include "text/number_text.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>
#include <string>

namespace tw {
namespace {

TEST(NumberText, LeadingRealReadsTheNumberAtTheStartOnly) {
    struct Case {
        const char* text;
        double expected;
    };
    const double inf = std::numeric_limits<double>::infinity();
    const Case cases[] = {
        {"12.5", 12.5},     {" \t-3e2x", -300.0}, {"+7", 7.0},        {".5", 0.5},      {"5.", 5.0},
        {"abc", 0.0},       {"", 0.0},            {"-", 0.0},         {"1,5", 1.0},     {"1e400", inf},
        {"-1e400", -inf},   {"1e-400", 0.0},      {"0.5e-330", 0.0},  {"inf", inf},     {"12 34", 12.0},
    };
    for (const Case& c : cases) EXPECT_EQ(leadingReal(c.text), c.expected) << c.text;
    // Too many digits for a double, with no exponent to tell the size.
    const std::string huge = "1" + std::string(400, '0');
    const std::string tiny = "0." + std::string(400, '0') + "1";
    EXPECT_EQ(leadingReal(huge.c_str()), inf);
    EXPECT_EQ(leadingReal(tiny.c_str()), 0.0);
    EXPECT_TRUE(std::isnan(leadingReal("nan")));
    EXPECT_EQ(leadingReal(nullptr), 0.0);
}

TEST(NumberText, LeadingIntegerSaturates) {
    EXPECT_EQ(leadingInteger("42abc"), 42);
    EXPECT_EQ(leadingInteger("  -17"), -17);
    EXPECT_EQ(leadingInteger("x1"), 0);
    EXPECT_EQ(leadingInteger("99999999999999999999999"), std::numeric_limits<long long>::max());
    EXPECT_EQ(leadingInteger("-99999999999999999999999"), std::numeric_limits<long long>::min());
    EXPECT_EQ(leadingInteger("-9223372036854775808"), std::numeric_limits<long long>::min());
    EXPECT_EQ(leadingInteger(nullptr), 0);
}

TEST(NumberText, DecimalPointIsAlwaysAFullStop) {
    const std::string previous = std::setlocale(LC_NUMERIC, nullptr);
    if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") == nullptr) GTEST_SKIP() << "no de_DE.UTF-8 locale";
    EXPECT_EQ(leadingReal("1.5"), 1.5);
    EXPECT_EQ(leadingReal("1,5"), 1.0);
    std::setlocale(LC_NUMERIC, previous.c_str());
}

}  // namespace
}  // namespace tw
