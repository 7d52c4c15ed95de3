#include "output/format_real.h"

#include <cmath>
#include <cstdint>
#include <cstring>

namespace tw {
namespace {

// Rounded magnitudes from here on have no 64-bit integer part.
constexpr double kIntegerPartLimit = 0x1p63;

struct OutputPrecision {
    unsigned places;       // decimal places p
    double scale;          // 10^p, used to round
    std::int64_t wholeUnit;  // 10^p as an integer: the carry threshold of the fraction
};

// The three fields always describe the same p: they change only together.
OutputPrecision gPrecision{kDefaultOutputPlaces, 1000000.0, 1000000};

// Appends the decimal digits of `value`, at least `minimumDigits` of them
// (leading zeros), and returns the new end.
char* appendDigits(char* out, std::uint64_t value, unsigned minimumDigits) {
    char reversed[24];
    unsigned length = 0;
    do {
        reversed[length++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value != 0);
    while (length < minimumDigits) reversed[length++] = '0';
    while (length > 0) *out++ = reversed[--length];
    return out;
}

void copyText(char* buffer, const char* text) { std::memcpy(buffer, text, std::strlen(text) + 1); }

}  // namespace

void setOutputPrecision(long places) {
    unsigned clamped = static_cast<std::uint16_t>(places);
    if (clamped < kMinOutputPlaces) clamped = kMinOutputPlaces;
    if (clamped > kMaxOutputPlaces) clamped = kMaxOutputPlaces;
    double scale = 10.0;
    std::int64_t wholeUnit = 10;
    for (unsigned k = 1; k < clamped; ++k) {
        scale *= 10.0;
        wholeUnit *= 10;
    }
    gPrecision = {clamped, scale, wholeUnit};
}

unsigned outputPrecision() { return gPrecision.places; }

void formatReal(char* buffer, double value) {
    const OutputPrecision precision = gPrecision;

    // Round to p decimals, halves upwards, and split into integer part and
    // fraction digits (the fraction's own rounding may carry a unit).
    const double rounded = std::floor(value * precision.scale + 0.5) / precision.scale;
    if (std::isnan(rounded)) {
        copyText(buffer, kNotANumberText);
        return;
    }
    if (!(std::fabs(rounded) < kIntegerPartLimit)) {
        copyText(buffer, rounded < 0.0 ? kNegativeInfinityText : kInfinityText);
        return;
    }
    std::int64_t whole = static_cast<std::int64_t>(rounded);
    std::int64_t fraction = static_cast<std::int64_t>(
        std::floor(std::fabs(rounded - static_cast<double>(whole)) * precision.scale + 0.5));
    if (fraction >= precision.wholeUnit) {
        whole += rounded >= 0.0 ? 1 : -1;
        fraction -= precision.wholeUnit;
    }

    // A value between -1 and 0 has no sign of its own in the integer part.
    char* out = buffer;
    if (whole < 0 || (whole == 0 && rounded < 0.0)) *out++ = '-';
    const std::uint64_t magnitude =
        whole < 0 ? 0 - static_cast<std::uint64_t>(whole) : static_cast<std::uint64_t>(whole);
    out = appendDigits(out, magnitude, 1);
    char* const point = out;
    *out++ = '.';
    out = appendDigits(out, static_cast<std::uint64_t>(fraction), precision.places);

    // Trim fraction zeros, then a bare point; the point stops the trimming,
    // so zeros of the integer part stay.
    while (out[-1] == '0') --out;
    if (out - 1 == point) --out;
    *out = '\0';
    if (std::strcmp(buffer, "-0") == 0) copyText(buffer, "0");
}

}  // namespace tw
