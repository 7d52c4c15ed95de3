#include "gcode_number.h"

#include "twcycle/drill/drill_file.h"

namespace twcycle::drill::gcode {

int programDecimals(ProgramUnit unit) { return unit == ProgramUnit::Millimetre ? 6 : 5; }

const char* unitSymbol(ProgramUnit unit) { return unit == ProgramUnit::Millimetre ? "mm" : "in"; }

std::int64_t roundedValue(std::int64_t value, ProgramUnit unit) {
    std::int64_t step = 1;
    for (int i = programDecimals(unit); i < kValueDecimals; ++i) step *= 10;
    const bool negative = value < 0;
    const std::uint64_t magnitude = negative ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
    const std::uint64_t unsignedStep = static_cast<std::uint64_t>(step);
    // Half away from zero: the same for a hole and its mirror image.
    const std::uint64_t rounded = (magnitude + unsignedStep / 2) / unsignedStep * unsignedStep;
    return negative ? -static_cast<std::int64_t>(rounded) : static_cast<std::int64_t>(rounded);
}

std::string programNumber(std::int64_t value, ProgramUnit unit) {
    const std::int64_t rounded = roundedValue(value, unit);
    const bool negative = rounded < 0;
    const std::uint64_t magnitude =
        negative ? 0 - static_cast<std::uint64_t>(rounded) : static_cast<std::uint64_t>(rounded);
    const std::uint64_t scale = static_cast<std::uint64_t>(kValueScale);
    std::string fraction = std::to_string(magnitude % scale);
    fraction.insert(0, static_cast<std::size_t>(kValueDecimals) - fraction.size(), '0');
    fraction.resize(static_cast<std::size_t>(programDecimals(unit)));
    return (negative ? "-" : "") + std::to_string(magnitude / scale) + "." + fraction;
}

std::optional<std::string> programCoordinate(std::string_view text, ZeroMode zeros, DigitFormat digits,
                                             ProgramUnit unit) {
    NumberFormat format;
    format.integerDigits = digits.integerDigits;
    format.decimalDigits = digits.decimalDigits;
    format.zeros = zeros;
    // The Excellon number reading is integer arithmetic on the digits: the
    // value is exact in nine decimals, which every accepted text fits.
    const NumberReading reading = readExcellonNumber(text, format);
    if (!reading.error.empty()) return std::nullopt;
    return programNumber(reading.value, unit);
}

}  // namespace twcycle::drill::gcode
