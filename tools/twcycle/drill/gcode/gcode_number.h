// The numbers of a machine program: coordinates in the drill file's own
// unit, taken exactly from the file's number texts, with a fixed number of
// decimals (6 in millimetres, 5 in inches).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "twcycle/drill/excellon_numbers.h"

namespace twcycle::drill::gcode {

enum class ProgramUnit { Millimetre, Inch };

// The decimals every length of a program is written with.
int programDecimals(ProgramUnit unit);

// "mm" or "in".
const char* unitSymbol(ProgramUnit unit);

// The digits of an implied-decimal number: integer and decimal places.
struct DigitFormat {
    int integerDigits = 2;
    int decimalDigits = 4;
};

// A value in units of 10^-9 of the program's unit written with the unit's
// decimals: rounded half away from zero when it has more, padded with zeros
// when it has fewer ("-0.000000" never appears: a value that rounds to zero
// is "0.000000").
std::string programNumber(std::int64_t value, ProgramUnit unit);

// `value` (in units of 10^-9) rounded as programNumber rounds it.
std::int64_t roundedValue(std::int64_t value, ProgramUnit unit);

// A coordinate of a drill file, as the file writes it (with or without a
// decimal point, in the file's zero mode and digit format), written in the
// program: the conversion is done on the digits alone, never through a
// binary floating-point number. None when the text is not a number the
// format can hold.
std::optional<std::string> programCoordinate(std::string_view text, ZeroMode zeros, DigitFormat digits,
                                             ProgramUnit unit);

}  // namespace twcycle::drill::gcode
