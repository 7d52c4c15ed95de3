#include "number_checks.h"

#include <charconv>
#include <cmath>
#include <algorithm>
#include <cstdint>

#include "text/number_text.h"
#include "output/format_real.h"

namespace twcycle {
namespace {

// A double holds every whole number up to 2^53 exactly; a value scaled by
// 10^places beyond that has lost digits before it is rounded.
constexpr double kExactWholeLimit = 0x1p53;

}  // namespace

NumberReading readNumber(std::string_view text) {
    NumberReading reading;
    reading.value = tw::leadingReal(std::string(text).c_str());
    std::size_t start = 0;
    while (start < text.size() && (text[start] == ' ' || text[start] == '\t')) ++start;
    std::size_t digits = start;
    if (digits < text.size() && (text[digits] == '+' || text[digits] == '-')) ++digits;
    const char* first = text.data() + digits;
    const char* last = text.data() + text.size();
    double parsed = 0.0;
    const std::from_chars_result result = std::from_chars(first, last, parsed);
    if (result.ec == std::errc::result_out_of_range) {
        reading.form = std::isinf(reading.value) ? NumberForm::Overflow : NumberForm::Underflow;
    } else if (result.ec != std::errc() || result.ptr == first) {
        reading.form = NumberForm::NoNumber;
    } else if (!std::isfinite(parsed)) {
        reading.form = NumberForm::NotFinite;
    } else {
        reading.form = result.ptr == last ? NumberForm::Exact : NumberForm::Partial;
        reading.rest = static_cast<std::size_t>(result.ptr - text.data());
    }
    if (reading.form == NumberForm::Overflow || reading.form == NumberForm::Underflow) {
        // Out of range and followed by more: the rest is still no number.
        const char* end = first;
        while (end < last && ((*end >= '0' && *end <= '9') || *end == '.' || *end == 'e' || *end == 'E' ||
                              ((*end == '+' || *end == '-') && end > first && (end[-1] == 'e' || end[-1] == 'E'))))
            ++end;
        reading.rest = static_cast<std::size_t>(end - text.data());
        if (end != last) reading.form = NumberForm::Partial;
    }
    return reading;
}

std::string misreadText(std::string_view text, const NumberReading& reading) {
    const std::string value = writtenText(reading.value, tw::kMaxOutputPlaces);
    switch (reading.form) {
        case NumberForm::Exact:
            return {};
        case NumberForm::Partial:
            return "is read as " + value + ": \"" + std::string(text.substr(std::min(reading.rest, text.size()))) +
                   "\" is no part of a number (the decimal point is '.')";
        case NumberForm::NoNumber:
            return "is no number and is read as 0";
        case NumberForm::Overflow:
            return "is beyond the range of numbers and is read as " + value;
        case NumberForm::Underflow:
            return "is too small to hold and is read as 0";
        case NumberForm::NotFinite:
            return "is no finite number";
    }
    return {};
}

std::string writtenText(double value, unsigned places) {
    const unsigned saved = tw::outputPrecision();
    tw::setOutputPrecision(static_cast<long>(places));
    char buffer[tw::kRealTextCapacity];
    tw::formatReal(buffer, value);
    tw::setOutputPrecision(static_cast<long>(saved));
    return buffer;
}

WriteForm writeForm(double value, unsigned places) {
    const std::string text = writtenText(value, places);
    if (text == tw::kInfinityText || text == tw::kNegativeInfinityText || text == tw::kNotANumberText)
        return WriteForm::NotWritable;
    double scale = 1.0;
    for (unsigned k = 0; k < places; ++k) scale *= 10.0;
    return std::fabs(value) * scale >= kExactWholeLimit ? WriteForm::DigitsLost : WriteForm::Fine;
}

unsigned outputPlaces(const std::string* precision) {
    if (precision == nullptr) return tw::kDefaultOutputPlaces;
    unsigned places = static_cast<std::uint16_t>(tw::leadingInteger(precision->c_str()));
    if (places < tw::kMinOutputPlaces) places = tw::kMinOutputPlaces;
    if (places > tw::kMaxOutputPlaces) places = tw::kMaxOutputPlaces;
    return places;
}

}  // namespace twcycle
