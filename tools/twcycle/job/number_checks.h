// How the module will take a number text and write a number back: the host
// warns where a text is not entirely a number, and where the output cannot
// hold a value at the output precision.
#pragma once

#include <string>
#include <string_view>

namespace twcycle {

enum class NumberForm {
    Exact,      // the whole text is one finite number
    Partial,    // a number followed by other characters ("12,5", "12mm")
    NoNumber,   // no number at the start: read as 0
    Overflow,   // beyond the range of a double: read as infinity
    Underflow,  // too small for a double: read as 0
    NotFinite,  // "inf" or "nan" written out
};

struct NumberReading {
    NumberForm form = NumberForm::NoNumber;
    double value = 0.0;      // what the module reads
    std::size_t rest = 0;    // offset of the first character after the number
};

// Reads `text` as the module's leading-number conversion does, and says how
// much of it was a number.
NumberReading readNumber(std::string_view text);

// A sentence on a text that is not Exact, such as "is read as 12: \"mm\" is
// no part of a number"; empty for Exact.
std::string misreadText(std::string_view text, const NumberReading& reading);

enum class WriteForm {
    Fine,
    DigitsLost,   // more significant digits than a double holds at these places
    NotWritable,  // written as "inf", "-inf" or "nan"
};

// Whether `value` survives the output's formatting at `places` decimals.
WriteForm writeForm(double value, unsigned places);

// The text the module writes for `value` at `places` decimals.
std::string writtenText(double value, unsigned places);

// The decimal places the module uses for the parameter text `precision`
// (none: the default).
unsigned outputPlaces(const std::string* precision);

}  // namespace twcycle
