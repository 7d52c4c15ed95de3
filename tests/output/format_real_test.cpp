#include "output/format_real.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <string>

namespace tw {
namespace {

// The precision is module-wide: every test starts and ends at the default.
class FormatReal : public ::testing::Test {
protected:
    void SetUp() override { setOutputPrecision(kDefaultOutputPlaces); }
    void TearDown() override { setOutputPrecision(kDefaultOutputPlaces); }

    static std::string text(double value, long places) {
        setOutputPrecision(places);
        char buffer[kRealTextCapacity];
        std::memset(buffer, 'x', sizeof buffer);
        formatReal(buffer, value);
        EXPECT_NE(std::memchr(buffer, '\0', sizeof buffer), nullptr);
        return buffer;
    }
};

struct Row {
    double value;
    long places;
    const char* expected;
};

TEST_F(FormatReal, WorkedExamples) {
    const Row rows[] = {
        {2, 6, "2"},          {1.5, 6, "1.5"},          {-1.25, 6, "-1.25"},
        {12.3456789, 6, "12.345679"}, {-0.5, 6, "-0.5"}, {-0.0000006, 6, "-0.000001"},
        {-0.0000004, 6, "0"}, {99.9999996, 6, "100"},   {0.125, 2, "0.13"},
        {-0.125, 2, "-0.12"}, {3.25, 1, "3.3"},         {-3.25, 1, "-3.2"},
        {10, 3, "10"},
    };
    for (const Row& row : rows) EXPECT_EQ(text(row.value, row.places), row.expected) << row.value;
}

TEST_F(FormatReal, ZeroAndValuesRoundingToZeroGiveASingleZero) {
    const Row rows[] = {
        {0.0, 6, "0"},          {-0.0, 6, "0"},         {0.0000004, 6, "0"},
        {-0.0000004, 6, "0"},   {-0.0000005, 6, "0"},   {0.04, 1, "0"},
        {-0.05, 1, "0"},        {0.000000004, 8, "0"},  {-0.000000004, 8, "0"},
    };
    for (const Row& row : rows) EXPECT_EQ(text(row.value, row.places), row.expected) << row.value;
}

TEST_F(FormatReal, EdgeCases) {
    const Row rows[] = {
        // integer zeros stay, fraction zeros go
        {10, 6, "10"},          {100, 6, "100"},        {-20, 6, "-20"},
        {1000000, 6, "1000000"}, {0.5, 6, "0.5"},       {-0.75, 6, "-0.75"},
        // carries of the fraction into the integer part, both signs
        {0.9999996, 6, "1"},    {-0.9999996, 6, "-1"},  {-1.9999996, 6, "-2"},
        {0.0000005, 6, "0.000001"},
        // all eight places
        {0.000000006, 8, "0.00000001"}, {-0.000000006, 8, "-0.00000001"},
        {1.23456789, 8, "1.23456789"},  {-0.125, 8, "-0.125"},
    };
    for (const Row& row : rows) EXPECT_EQ(text(row.value, row.places), row.expected) << row.value;
}

TEST_F(FormatReal, PrecisionIsClampedFromItsLowSixteenBits) {
    struct Setting {
        long places;
        unsigned effective;
    };
    const Setting settings[] = {{0, 1}, {1, 1}, {3, 3}, {8, 8}, {9, 8}, {12, 8}, {-1, 8},
                                {65536, 1}, {65539, 3}, {-65533, 3}};
    for (const Setting& setting : settings) {
        setOutputPrecision(setting.places);
        EXPECT_EQ(outputPrecision(), setting.effective) << setting.places;
    }
    EXPECT_EQ(text(1.23456789, 0), "1.2");
    EXPECT_EQ(text(1.234567891, 9), "1.23456789");
}

TEST_F(FormatReal, PrecisionStaysUntilSetAgain) {
    EXPECT_EQ(outputPrecision(), kDefaultOutputPlaces);
    setOutputPrecision(2);
    char buffer[kRealTextCapacity];
    formatReal(buffer, 1.23456);
    formatReal(buffer, 1.23456);
    EXPECT_STREQ(buffer, "1.23");
}

TEST_F(FormatReal, MagnitudesBeyondThirtyTwoBitsKeepTheirDigits) {
    const Row rows[] = {
        {2147483647.0, 6, "2147483647"},
        {2147483648.0, 6, "2147483648"},
        {-2147483648.5, 1, "-2147483648.5"},
        {-3000000000.25, 2, "-3000000000.25"},
        {4294967296.75, 3, "4294967296.75"},
        {9007199254740992.0, 6, "9007199254740992"},
        {-9007199254740993.0, 6, "-9007199254740992"},  // the double nearest is 2^53
        {9223372036854774784.0, 6, "9223372036854774784"},  // largest double below 2^63
        {-9223372036854774784.0, 8, "-9223372036854774784"},
    };
    for (const Row& row : rows) EXPECT_EQ(text(row.value, row.places), row.expected) << row.value;
}

TEST_F(FormatReal, NoFiniteIntegerPartGivesAFixedText) {
    const double infinity = std::numeric_limits<double>::infinity();
    const Row rows[] = {
        {9223372036854775808.0, 6, "inf"},     {-9223372036854775808.0, 6, "-inf"},
        {1e300, 6, "inf"},                     {-1e300, 8, "-inf"},
        {std::numeric_limits<double>::max(), 1, "inf"},
        {infinity, 6, "inf"},                  {-infinity, 6, "-inf"},
        {std::numeric_limits<double>::quiet_NaN(), 6, "nan"},
        {-std::numeric_limits<double>::quiet_NaN(), 3, "nan"},
    };
    for (const Row& row : rows) EXPECT_EQ(text(row.value, row.places), row.expected) << row.value;
}

// Texts parse back to the rounded value, keep to the buffer and never carry
// an exponent, a plus sign, a leading point or trailing fraction zeros.
TEST_F(FormatReal, RandomValuesAreWellFormedAndRoundTrip) {
    std::mt19937_64 random(20240501);
    std::uniform_int_distribution<int> exponent(-40, 62);
    std::uniform_real_distribution<double> mantissa(-1.0, 1.0);
    for (long places = 1; places <= 8; ++places) {
        const double scale = std::pow(10.0, static_cast<double>(places));
        for (int n = 0; n < 4000; ++n) {
            const double value = std::ldexp(mantissa(random), exponent(random));
            const std::string written = text(value, places);
            ASSERT_LT(written.size(), kRealTextCapacity);
            ASSERT_EQ(written.find_first_not_of("-0123456789."), std::string::npos) << written;
            ASSERT_NE(written.front(), '.');
            ASSERT_NE(written, "-0");
            const auto point = written.find('.');
            if (point != std::string::npos) {
                ASSERT_NE(written.back(), '0') << written;
                ASSERT_LE(written.size() - point - 1, static_cast<std::size_t>(places));
            }
            const double expected = std::floor(value * scale + 0.5) / scale;
            if (std::fabs(expected) < 1e15) {
                ASSERT_NEAR(std::strtod(written.c_str(), nullptr), expected, 0.5 / scale) << value;
            }
        }
    }
}

// Digits are written without the C library's locale, so a locale with a
// decimal comma does not change the text.
TEST_F(FormatReal, DecimalCommaLocaleDoesNotChangeTheText) {
    const char* names[] = {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "de_DE"};
    const char* chosen = nullptr;
    for (const char* name : names) {
        if (std::setlocale(LC_NUMERIC, name) != nullptr) {
            chosen = name;
            break;
        }
    }
    if (chosen == nullptr) GTEST_SKIP() << "no locale with a decimal comma installed";
    const std::string written = text(-1.25, 6);
    std::setlocale(LC_NUMERIC, "C");
    EXPECT_EQ(written, "-1.25");
}

}  // namespace
}  // namespace tw
