#include "exchange/number_triple.h"

#include <charconv>
#include <cstring>
#include <limits>
#include <string_view>
#include <system_error>

namespace tw {
namespace {

bool startsNumber(char c) { return c != '\0' && std::strchr("+-.0123456789", c) != nullptr; }
bool continuesNumber(char c) { return c != '\0' && std::strchr("+-.0123456789eE", c) != nullptr; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Decides whether a number that did not fit a double is too large (rather
// than too small): its decimal order of magnitude, from the digits around
// the point and the exponent, is positive.
bool orderIsPositive(std::string_view number) {
    std::size_t i = 0;
    if (i < number.size() && (number[i] == '+' || number[i] == '-')) ++i;
    while (i < number.size() && number[i] == '0') ++i;
    long order = 0;
    for (; i < number.size() && isDigit(number[i]); ++i) ++order;
    if (order == 0 && i < number.size() && number[i] == '.') {
        for (++i; i < number.size() && number[i] == '0'; ++i) --order;
    }
    while (i < number.size() && (isDigit(number[i]) || number[i] == '.')) ++i;
    long exponent = 0;
    if (i < number.size() && (number[i] == 'e' || number[i] == 'E')) {
        ++i;
        const bool negative = i < number.size() && number[i] == '-';
        if (i < number.size() && (number[i] == '+' || number[i] == '-')) ++i;
        constexpr long kExponentCap = 1000000;  // far beyond any double
        for (; i < number.size() && isDigit(number[i]); ++i) {
            if (exponent < kExponentCap) exponent = exponent * 10 + (number[i] - '0');
        }
        if (negative) exponent = -exponent;
    }
    return order + exponent > 0;
}

// The value of the longest prefix of `run` that forms a decimal number, as
// the C library's text-to-double conversion gives it in the "C" locale: 0
// when there is none, infinity on overflow, zero on underflow.
double convertRun(std::string_view run) {
    std::string_view digits = run;
    bool negative = false;
    if (!digits.empty() && digits.front() == '+') {
        digits.remove_prefix(1);
        // A second sign after '+' forms no number.
        if (!digits.empty() && (digits.front() == '+' || digits.front() == '-')) return 0.0;
    } else if (!digits.empty() && digits.front() == '-') {
        negative = true;
    }
    double value = 0.0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error == std::errc::invalid_argument) return 0.0;
    if (error == std::errc::result_out_of_range) {
        const std::string_view number(digits.data(), static_cast<std::size_t>(end - digits.data()));
        const double magnitude = orderIsPositive(number) ? std::numeric_limits<double>::infinity() : 0.0;
        return negative ? -magnitude : magnitude;
    }
    return value;
}

}  // namespace

int parseNumberTriple(const char* text, double& first, double& second, double& third) {
    if (text == nullptr) return 0;
    double* places[] = {&first, &second, &third};
    const char* at = text;
    int found = 0;
    for (double* place : places) {
        while (*at != '\0' && !startsNumber(*at)) ++at;
        if (*at == '\0') return found;
        const char* runStart = at;
        while (continuesNumber(*at)) ++at;
        *place = convertRun(std::string_view(runStart, static_cast<std::size_t>(at - runStart)));
        ++found;
    }
    return found;
}

}  // namespace tw
