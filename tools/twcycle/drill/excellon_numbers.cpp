#include "excellon_numbers.h"
#include "twcycle/drill/characters.h"

#include <algorithm>

#include "drill_file.h"

namespace twcycle::drill {
namespace {


std::int64_t powerOfTen(int exponent) {
    std::int64_t result = 1;
    for (int i = 0; i < exponent; ++i) result *= 10;
    return result;
}

// The value of at most 18 decimal digits.
std::int64_t digitsValue(std::string_view digits) {
    std::int64_t value = 0;
    for (char c : digits) value = value * 10 + (c - '0');
    return value;
}

std::string_view withoutLeadingZeros(std::string_view digits) {
    while (digits.size() > 1 && digits.front() == '0') digits.remove_prefix(1);
    return digits;
}

NumberReading refused(std::string reason) {
    NumberReading reading;
    reading.error = std::move(reason);
    return reading;
}

NumberReading readDecimal(std::string_view integer, std::string_view fraction) {
    if (integer.empty() && fraction.empty()) return refused("a number without digits");
    if (withoutLeadingZeros(integer).size() > static_cast<std::size_t>(kMaxFormatDigits))
        return refused("a number with more than 9 digits before the decimal point");
    if (fraction.size() > static_cast<std::size_t>(kValueDecimals))
        return refused("a number with more than 9 decimals");
    NumberReading reading;
    reading.style.decimal = true;
    reading.style.decimals = static_cast<int>(fraction.size());
    const std::int64_t whole = digitsValue(withoutLeadingZeros(integer));
    const std::int64_t part = digitsValue(fraction) * powerOfTen(kValueDecimals - static_cast<int>(fraction.size()));
    reading.value = whole * kValueScale + part;
    return reading;
}

NumberReading readImplied(std::string_view digits, const NumberFormat& format) {
    if (digits.empty()) return refused("a number without digits");
    const std::size_t total = static_cast<std::size_t>(format.integerDigits + format.decimalDigits);
    if (digits.size() > total) return refused("a number with more digits than the file's format allows");
    std::int64_t units = digitsValue(digits);
    // Zero reads the same whichever zeros the file leaves out.
    if (digits.size() < total && units != 0) {
        switch (format.zeros) {
            case ZeroMode::Unknown:
                return refused(
                    "a number with implied decimals and fewer digits than the format, in a file that "
                    "does not say LZ or TZ (add LZ or TZ to its INCH or METRIC line)");
            case ZeroMode::Leading:
                units *= powerOfTen(static_cast<int>(total - digits.size()));
                break;
            case ZeroMode::Trailing:
                break;
        }
    }
    NumberReading reading;
    reading.value = units * powerOfTen(kValueDecimals - format.decimalDigits);
    return reading;
}

}  // namespace

NumberReading readExcellonNumber(std::string_view text, const NumberFormat& format) {
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    const std::size_t point = text.find('.');
    const std::string_view integer = text.substr(0, point);
    const std::string_view fraction = point == std::string_view::npos ? std::string_view() : text.substr(point + 1);
    for (std::string_view part : {integer, fraction})
        for (char c : part)
            if (!isDigit(c)) return refused("a number that is not one");
    NumberReading reading = point == std::string_view::npos ? readImplied(integer, format) : readDecimal(integer, fraction);
    if (negative) reading.value = -reading.value;
    return reading;
}

std::optional<std::string> writeExcellonNumber(std::int64_t value, const NumberStyle& style,
                                               const NumberFormat& format) {
    const bool negative = value < 0;
    const std::uint64_t magnitude = negative ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
    std::string integer = std::to_string(magnitude / kValueScale);
    std::string fraction = std::to_string(magnitude % kValueScale);
    fraction.insert(0, static_cast<std::size_t>(kValueDecimals) - fraction.size(), '0');
    std::string digits;
    if (style.decimal) {
        std::size_t keep = static_cast<std::size_t>(style.decimals);
        std::size_t needed = fraction.size();
        while (needed > 0 && fraction[needed - 1] == '0') --needed;
        fraction.resize(std::max(keep, needed));
        digits = integer + "." + fraction;
    } else {
        const std::size_t decimals = static_cast<std::size_t>(format.decimalDigits);
        if (fraction.find_first_not_of('0', decimals) != std::string::npos) return std::nullopt;
        if (integer == "0") integer.clear();
        if (integer.size() > static_cast<std::size_t>(format.integerDigits)) return std::nullopt;
        integer.insert(0, static_cast<std::size_t>(format.integerDigits) - integer.size(), '0');
        digits = integer + fraction.substr(0, decimals);
        if (format.zeros == ZeroMode::Leading) {
            while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
        } else if (format.zeros == ZeroMode::Trailing) {
            digits = std::string(withoutLeadingZeros(digits));
        }
        if (digits.empty()) digits = "0";
    }
    return (negative && magnitude != 0 ? "-" : "") + digits;
}

bool readDigitPattern(std::string_view text, NumberFormat& format) {
    const std::size_t point = text.find('.');
    if (point == std::string_view::npos || text.empty()) return false;
    const std::string_view integer = text.substr(0, point);
    const std::string_view fraction = text.substr(point + 1);
    for (std::string_view part : {integer, fraction}) {
        if (part.empty() || part.size() > static_cast<std::size_t>(kMaxFormatDigits)) return false;
        for (char c : part)
            if (c != '0') return false;
    }
    format.integerDigits = static_cast<int>(integer.size());
    format.decimalDigits = static_cast<int>(fraction.size());
    return true;
}

bool readFileFormat(std::string_view text, NumberFormat& format) {
    if (text.size() != 3 || text[1] != ':' || !isDigit(text[0]) || !isDigit(text[2])) return false;
    const int integerDigits = text[0] - '0';
    const int decimalDigits = text[2] - '0';
    if (integerDigits + decimalDigits == 0) return false;
    format.integerDigits = integerDigits;
    format.decimalDigits = decimalDigits;
    return true;
}

}  // namespace twcycle::drill
