// The numbers of Excellon coordinates: decimal texts ("12.7", "-.5") and
// texts with an implied decimal point whose meaning depends on the file's
// digit format and on which zeros it leaves out.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace twcycle::drill {

// Which zeros an implied-decimal number keeps.
enum class ZeroMode {
    Unknown,   // the file does not say: only numbers with every digit are certain
    Leading,   // "LZ": leading zeros kept, trailing ones left out (aligned on the left)
    Trailing,  // "TZ": trailing zeros kept, leading ones left out (aligned on the right)
};

// Neither part may be longer than this: values are held exactly in nine
// decimal places of a 64-bit integer.
inline constexpr int kMaxFormatDigits = 9;

struct NumberFormat {
    int integerDigits = 2;  // the defaults of an inch file
    int decimalDigits = 4;
    ZeroMode zeros = ZeroMode::Unknown;
};

// The style a number was written in, so that a computed value can be
// written the same way.
struct NumberStyle {
    bool decimal = false;  // has a decimal point
    int decimals = 0;      // digits after the point, when decimal
};

struct NumberReading {
    std::int64_t value = 0;  // in units of 10^-9
    NumberStyle style;
    std::string error;       // empty when read
};

// Reads `text`: an optional sign, then digits with or without one '.'.
NumberReading readExcellonNumber(std::string_view text, const NumberFormat& format);

// `value` written in `style` (with more decimals when the value needs them)
// or with implied decimals in `format`; none when the implied format cannot
// hold the value.
std::optional<std::string> writeExcellonNumber(std::int64_t value, const NumberStyle& style,
                                               const NumberFormat& format);

// Reads a digit pattern such as "000.000" or a ";FILE_FORMAT=" value such
// as "3:3"; false (format unchanged) when the text is not one.
bool readDigitPattern(std::string_view text, NumberFormat& format);
bool readFileFormat(std::string_view text, NumberFormat& format);

}  // namespace twcycle::drill
