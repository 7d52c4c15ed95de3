#include "twcycle/drill/excellon_numbers.h"

#include <gtest/gtest.h>

namespace {

using namespace twcycle::drill;

constexpr std::int64_t kUnit = 1000000000;  // 1.0 in the fixed-point values

NumberFormat format(int integerDigits, int decimalDigits, ZeroMode zeros) {
    return NumberFormat{integerDigits, decimalDigits, zeros};
}

TEST(ExcellonNumbers, ReadsEveryStyle) {
    struct Case {
        const char* text;
        NumberFormat format;
        std::int64_t value;
    };
    const Case cases[] = {
        {"1.27", format(2, 4, ZeroMode::Unknown), 1270000000},
        {"-.5", format(2, 4, ZeroMode::Unknown), -kUnit / 2},
        {"+3.", format(2, 4, ZeroMode::Unknown), 3 * kUnit},
        {"012.700000001", format(3, 3, ZeroMode::Unknown), 12700000001},
        // LZ: the digits stand on the left of the full width.
        {"0127", format(2, 4, ZeroMode::Leading), 1270000000},
        {"12345", format(2, 4, ZeroMode::Leading), 12345000000},
        {"-01", format(2, 4, ZeroMode::Leading), -kUnit},
        {"023456", format(2, 4, ZeroMode::Leading), 2345600000},
        // TZ: the digits stand on the right.
        {"127", format(2, 4, ZeroMode::Trailing), 12700000},
        {"12700", format(3, 3, ZeroMode::Trailing), 12700000000},
        {"-5", format(3, 3, ZeroMode::Trailing), -5000000},
        // Every digit given: the same in either mode, and certain without one.
        {"012700", format(3, 3, ZeroMode::Unknown), 12700000000},
        {"00000500", format(4, 4, ZeroMode::Unknown), 50000000},
        {"000000001", format(0, 9, ZeroMode::Unknown), 1},
    };
    for (const Case& c : cases) {
        const NumberReading reading = readExcellonNumber(c.text, c.format);
        EXPECT_EQ(reading.error, "") << c.text;
        EXPECT_EQ(reading.value, c.value) << c.text;
    }
}

TEST(ExcellonNumbers, RefusesWhatItCannotBeSureOf) {
    struct Case {
        const char* text;
        NumberFormat format;
        const char* reason;
    };
    const Case cases[] = {
        {"127", format(2, 4, ZeroMode::Unknown), "does not say LZ or TZ"},
        {"1234567", format(2, 4, ZeroMode::Leading), "more digits than the file's format"},
        {"", format(2, 4, ZeroMode::Leading), "without digits"},
        {"-", format(2, 4, ZeroMode::Leading), "without digits"},
        {".", format(2, 4, ZeroMode::Leading), "without digits"},
        {"1.2.3", format(2, 4, ZeroMode::Leading), "not one"},
        {"1e5", format(2, 4, ZeroMode::Leading), "not one"},
        {"1234567890.5", format(2, 4, ZeroMode::Leading), "more than 9 digits before"},
        {"1.0000000001", format(2, 4, ZeroMode::Leading), "more than 9 decimals"},
    };
    for (const Case& c : cases) {
        const NumberReading reading = readExcellonNumber(c.text, c.format);
        EXPECT_NE(reading.error.find(c.reason), std::string::npos) << c.text << ": " << reading.error;
    }
}

TEST(ExcellonNumbers, WritesInTheStyleItWasGiven) {
    struct Case {
        std::int64_t value;
        NumberStyle style;
        NumberFormat format;
        const char* text;
    };
    const Case cases[] = {
        {1270000000, {true, 2}, format(2, 4, ZeroMode::Unknown), "1.27"},
        {1270000000, {true, 4}, format(2, 4, ZeroMode::Unknown), "1.2700"},
        {1275000000, {true, 2}, format(2, 4, ZeroMode::Unknown), "1.275"},  // more decimals when needed
        {-kUnit / 2, {true, 1}, format(2, 4, ZeroMode::Unknown), "-0.5"},
        {0, {true, 0}, format(2, 4, ZeroMode::Unknown), "0."},
        {1270000000, {false, 0}, format(2, 4, ZeroMode::Leading), "0127"},
        {1270000000, {false, 0}, format(2, 4, ZeroMode::Trailing), "12700"},
        {1270000000, {false, 0}, format(2, 4, ZeroMode::Unknown), "012700"},
        {-127000000, {false, 0}, format(3, 3, ZeroMode::Trailing), "-127"},
        {0, {false, 0}, format(3, 3, ZeroMode::Trailing), "0"},
        {0, {false, 0}, format(3, 3, ZeroMode::Leading), "0"},
    };
    for (const Case& c : cases) {
        const std::optional<std::string> text = writeExcellonNumber(c.value, c.style, c.format);
        ASSERT_TRUE(text.has_value()) << c.text;
        EXPECT_EQ(*text, c.text);
        // What is written reads back as the same value.
        EXPECT_EQ(readExcellonNumber(*text, c.format).value, c.value) << c.text;
    }
}

TEST(ExcellonNumbers, ImpliedFormatThatCannotHoldTheValueWritesNothing) {
    EXPECT_FALSE(writeExcellonNumber(100 * kUnit, {false, 0}, format(2, 4, ZeroMode::Leading)));  // 3 integer digits
    EXPECT_FALSE(writeExcellonNumber(1, {false, 0}, format(3, 3, ZeroMode::Trailing)));          // finer than 0.001
}

TEST(ExcellonNumbers, DigitPatternsAndFileFormats) {
    NumberFormat read;
    EXPECT_TRUE(readDigitPattern("000.000", read));
    EXPECT_EQ(read.integerDigits, 3);
    EXPECT_EQ(read.decimalDigits, 3);
    EXPECT_TRUE(readDigitPattern("00.0000", read));
    EXPECT_EQ(read.integerDigits, 2);
    EXPECT_EQ(read.decimalDigits, 4);
    EXPECT_TRUE(readFileFormat("4:4", read));
    EXPECT_EQ(read.integerDigits, 4);
    for (const char* bad : {"000", ".000", "000.", "0.0000000000", "00.01", ""}) {
        NumberFormat unchanged;
        EXPECT_FALSE(readDigitPattern(bad, unchanged)) << bad;
        EXPECT_EQ(unchanged.integerDigits, 2) << bad;
    }
    for (const char* bad : {"0:0", "44", "4:", "a:b", "10:3"}) {
        NumberFormat unchanged;
        EXPECT_FALSE(readFileFormat(bad, unchanged)) << bad;
    }
}

}  // namespace
