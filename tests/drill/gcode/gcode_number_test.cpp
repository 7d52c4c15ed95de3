// Coordinates taken into a machine program exactly from the file's texts.
#include <gtest/gtest.h>

#include "twcycle/drill/gcode/gcode_number.h"

namespace {

using namespace twcycle::drill;
using namespace twcycle::drill::gcode;

TEST(ProgramCoordinate, ConvertsTheDigitsExactly) {
    struct Case {
        const char* text;
        ZeroMode zeros;
        DigitFormat digits;
        ProgramUnit unit;
        const char* expected;  // worked out by hand from the digits
    };
    const Case cases[] = {
        // Decimal texts: padded to 6 (mm) or 5 (inch) decimals.
        {"88.9", ZeroMode::Unknown, {3, 3}, ProgramUnit::Millimetre, "88.900000"},
        {"-.5", ZeroMode::Unknown, {3, 3}, ProgramUnit::Millimetre, "-0.500000"},
        {"1.", ZeroMode::Unknown, {2, 4}, ProgramUnit::Inch, "1.00000"},
        {"+0.1", ZeroMode::Unknown, {2, 4}, ProgramUnit::Inch, "0.10000"},
        // 0.1 and 0.7 have no exact binary form; the digits keep them exact.
        {"0.7", ZeroMode::Unknown, {2, 4}, ProgramUnit::Inch, "0.70000"},
        {"123456789.123456789", ZeroMode::Unknown, {3, 3}, ProgramUnit::Millimetre, "123456789.123457"},
        // More decimals than the program keeps: rounded half away from zero.
        {"1.2345675", ZeroMode::Unknown, {3, 3}, ProgramUnit::Millimetre, "1.234568"},
        {"-1.2345675", ZeroMode::Unknown, {3, 3}, ProgramUnit::Millimetre, "-1.234568"},
        {"1.234567499", ZeroMode::Unknown, {3, 3}, ProgramUnit::Millimetre, "1.234567"},
        {"0.123455", ZeroMode::Unknown, {2, 4}, ProgramUnit::Inch, "0.12346"},
        {"0.1234549", ZeroMode::Unknown, {2, 4}, ProgramUnit::Inch, "0.12345"},
        {"-0.000004", ZeroMode::Unknown, {2, 4}, ProgramUnit::Inch, "0.00000"},
        {"-0.000005", ZeroMode::Unknown, {2, 4}, ProgramUnit::Inch, "-0.00001"},
        {"9.9999995", ZeroMode::Unknown, {3, 3}, ProgramUnit::Millimetre, "10.000000"},
        // Leading zeros kept: aligned on the left.
        {"005", ZeroMode::Leading, {2, 4}, ProgramUnit::Inch, "0.50000"},
        {"012345", ZeroMode::Leading, {2, 4}, ProgramUnit::Inch, "1.23450"},
        {"-0015", ZeroMode::Leading, {2, 4}, ProgramUnit::Inch, "-0.15000"},
        {"0254", ZeroMode::Leading, {3, 3}, ProgramUnit::Millimetre, "25.400000"},
        {"12345678", ZeroMode::Leading, {3, 5}, ProgramUnit::Millimetre, "123.456780"},
        // Trailing zeros kept: aligned on the right.
        {"5", ZeroMode::Trailing, {2, 4}, ProgramUnit::Inch, "0.00050"},
        {"12345", ZeroMode::Trailing, {2, 4}, ProgramUnit::Inch, "1.23450"},
        {"-250", ZeroMode::Trailing, {3, 3}, ProgramUnit::Millimetre, "-0.250000"},
        {"1234567", ZeroMode::Trailing, {2, 6}, ProgramUnit::Inch, "1.23457"},
        {"1234565", ZeroMode::Trailing, {2, 6}, ProgramUnit::Inch, "1.23457"},
        {"1234564", ZeroMode::Trailing, {2, 6}, ProgramUnit::Inch, "1.23456"},
        // Every digit given: the zero mode does not matter.
        {"123456", ZeroMode::Unknown, {3, 3}, ProgramUnit::Millimetre, "123.456000"},
    };
    for (const Case& c : cases) {
        const std::optional<std::string> text = programCoordinate(c.text, c.zeros, c.digits, c.unit);
        ASSERT_TRUE(text.has_value()) << c.text;
        EXPECT_EQ(*text, c.expected) << c.text;
    }
}

TEST(ProgramCoordinate, RefusesWhatTheFormatCannotHold) {
    const char* const texts[] = {"", "-", "1.2.3", "12a", "1234567", "0.1234567890"};
    for (const char* text : texts)
        EXPECT_FALSE(programCoordinate(text, ZeroMode::Leading, {2, 4}, ProgramUnit::Inch).has_value()) << text;
    // Fewer digits than the format in a file that says neither LZ nor TZ.
    EXPECT_FALSE(programCoordinate("123", ZeroMode::Unknown, {2, 4}, ProgramUnit::Inch).has_value());
}

TEST(ProgramNumber, RoundsAndPadsTheUnitsDecimals) {
    EXPECT_EQ(programNumber(0, ProgramUnit::Millimetre), "0.000000");
    EXPECT_EQ(programNumber(-500, ProgramUnit::Millimetre), "-0.000001");
    EXPECT_EQ(programNumber(-499, ProgramUnit::Millimetre), "0.000000");
    EXPECT_EQ(programNumber(1000000000000000000, ProgramUnit::Inch), "1000000000.00000");
    EXPECT_EQ(roundedValue(123456789, ProgramUnit::Inch), 123460000);
    EXPECT_EQ(roundedValue(-123455000, ProgramUnit::Inch), -123460000);
}

}  // namespace
