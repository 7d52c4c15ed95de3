#include "text/number_text.h"

#include <charconv>
#include <limits>

namespace tw {
namespace {

const char* skipBlanks(const char* text) {
    while (*text == ' ' || *text == '\t' || *text == '\n' || *text == '\r' || *text == '\v' || *text == '\f')
        ++text;
    return text;
}

const char* textEnd(const char* text) {
    while (*text != '\0') ++text;
    return text;
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

long long leadingIntegerOf(const char* text) {
    if (text == nullptr) return 0;
    text = skipBlanks(text);
    bool negative = false;
    if (*text == '+' || *text == '-') negative = *text++ == '-';
    long long value = 0;
    const std::from_chars_result result = std::from_chars(text, textEnd(text), value);
    if (result.ec == std::errc::result_out_of_range) {
        return negative ? std::numeric_limits<long long>::min() : std::numeric_limits<long long>::max();
    }
    if (result.ec != std::errc()) return 0;
    return negative ? -value : value;
}

// The decimal order of magnitude of a number text that does not fit a double:
// positive for overflow (it reads as infinity), not above 0 for underflow.
long long decimalMagnitude(const char* text) {
    long long integerDigits = 0;
    long long leadingFractionZeros = 0;
    bool significant = false;
    for (; isDigit(*text); ++text) {
        if (*text != '0' || significant) {
            significant = true;
            ++integerDigits;
        }
    }
    if (*text == '.') {
        for (++text; isDigit(*text); ++text) {
            if (significant) continue;
            if (*text == '0') ++leadingFractionZeros;
            else significant = true;
        }
    }
    long long exponent = 0;
    if (*text == 'e' || *text == 'E') exponent = leadingIntegerOf(text + 1);
    const long long base = integerDigits > 0 ? integerDigits : -leadingFractionZeros;
    if (exponent > 0 && base > std::numeric_limits<long long>::max() - exponent) return 1;
    if (exponent < 0 && base < std::numeric_limits<long long>::min() - exponent) return 0;
    return base + exponent;
}

}  // namespace

long long leadingInteger(const char* text) { return leadingIntegerOf(text); }

double leadingReal(const char* text) {
    if (text == nullptr) return 0.0;
    text = skipBlanks(text);
    bool negative = false;
    if (*text == '+' || *text == '-') negative = *text++ == '-';
    double value = 0.0;
    const std::from_chars_result result = std::from_chars(text, textEnd(text), value);
    if (result.ec == std::errc::result_out_of_range) {
        value = decimalMagnitude(text) > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    } else if (result.ec != std::errc()) {
        return 0.0;
    }
    return negative ? -value : value;
}

}  // namespace tw
