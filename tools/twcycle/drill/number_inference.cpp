#include "number_inference.h"

#include <algorithm>

#include "drill_lines.h"

namespace twcycle::drill {
namespace {

const char* zerosName(ZeroMode zeros) {
    return zeros == ZeroMode::Leading ? "leading zeros kept (LZ)" : "trailing zeros kept (TZ)";
}

const char* otherZerosOption(ZeroMode zeros) {
    return zeros == ZeroMode::Leading ? "--zeros trailing" : "--zeros leading";
}

std::string at(const std::vector<DrillLine>& lines, std::size_t line, const std::string& text) {
    return lineError(line, line < lines.size() ? std::string_view(lines[line].text) : std::string_view(), text);
}

std::string lineName(std::size_t line) { return "line " + std::to_string(line + 1); }

// More digits than the format holds and no format given: one decimal more
// than the unit's default (2.5 inch, 3.4 mm for 7 digits), the rest before
// the point. The order of the holes does not depend on the split.
NumberFormat widened(NumberFormat format, std::size_t width) {
    const int total = static_cast<int>(width);
    int decimals = std::min(total - format.integerDigits, format.decimalDigits + 1);
    decimals = std::max(decimals, total - kMaxFormatDigits);
    format.decimalDigits = decimals;
    format.integerDigits = total - decimals;
    return format;
}

void settleDigits(const NumberSurvey& survey, const FileNumbers& said, const NumberOverrides& overrides,
                  const std::vector<DrillLine>& lines, NumberInference& result) {
    const std::size_t total = static_cast<std::size_t>(result.format.integerDigits + result.format.decimalDigits);
    if (overrides.digits) {
        result.format.integerDigits = overrides.digits->integerDigits;
        result.format.decimalDigits = overrides.digits->decimalDigits;
        result.digitsOrigin = "--digits";
        const std::size_t given = static_cast<std::size_t>(result.format.integerDigits + result.format.decimalDigits);
        if (survey.widest > given) {
            result.error = "a number of " + std::to_string(survey.widest) + " digits, more than --digits " +
                           digitsText(result.format) + " allows (--digits with more digits reads it)";
            result.errorLine = survey.widestLine;
        }
        return;
    }
    result.digitsOrigin = said.digitsOrigin;
    if (survey.widest <= total) return;
    if (said.digitsGiven) {
        result.error = "a number of " + std::to_string(survey.widest) + " digits, more than the " +
                       digitsText(result.format) + " format of " + said.digitsOrigin +
                       " allows (--digits I.D reads the file in another format)";
        result.errorLine = survey.widestLine;
        return;
    }
    result.format = widened(result.format, survey.widest);
    result.digitsOrigin = "inferred from " + lineName(survey.widestLine);
    result.notes.push_back(at(lines, survey.widestLine,
                              "the file gives no digit format and this number has " + std::to_string(survey.widest) +
                                  " digits: read as " + digitsText(result.format) +
                                  " (the order does not depend on it; --digits I.D reads it otherwise)"));
}

void settleZeros(const NumberSurvey& survey, const FileNumbers& said, const NumberOverrides& overrides,
                 const std::vector<DrillLine>& lines, NumberInference& result) {
    const std::size_t total = static_cast<std::size_t>(result.format.integerDigits + result.format.decimalDigits);
    const bool equalWidths = survey.narrowest == survey.widest;
    // Every number has every digit: each reading gives the same values.
    const bool allDigits = equalWidths && survey.widest == total;
    std::optional<std::size_t> trailingLine;
    for (std::size_t width = 1; width < survey.widest; ++width)
        if (survey.endsInZeroLine[width] && (!trailingLine || *survey.endsInZeroLine[width] < *trailingLine))
            trailingLine = survey.endsInZeroLine[width];
    const std::optional<std::size_t> leadingLine = survey.leadingZeroLine;
    const std::string leadingProof = "starts with 0, which only a file that keeps leading zeros writes";
    const std::string trailingProof = "is shorter than the widest number (" + lineName(survey.widestLine) +
                                      ") and ends in 0, which only a file that keeps trailing zeros writes";
    const std::string settles = "; --zeros leading or --zeros trailing settles it";

    if (overrides.zeros) {
        result.format.zeros = *overrides.zeros;
        result.zerosOrigin = "--zeros";
        return;
    }
    if (said.format.zeros != ZeroMode::Unknown) {
        result.format.zeros = said.format.zeros;
        result.zerosOrigin = said.zerosOrigin;
        if (allDigits) return;
        if (said.format.zeros == ZeroMode::Leading && trailingLine) {
            result.error = "a number that " + trailingProof + ", but " + said.zerosOrigin + " says LZ" + settles;
            result.errorLine = *trailingLine;
        } else if (said.format.zeros == ZeroMode::Trailing && leadingLine) {
            result.error = "a number that " + leadingProof + ", but " + said.zerosOrigin + " says TZ" + settles;
            result.errorLine = *leadingLine;
        }
        return;
    }
    if (leadingLine && trailingLine) {
        const bool leadingLater = *leadingLine > *trailingLine;
        result.errorLine = leadingLater ? *leadingLine : *trailingLine;
        result.error = "a number that " + (leadingLater ? leadingProof : trailingProof) + ", while " +
                       lineName(leadingLater ? *trailingLine : *leadingLine) + " has one that " +
                       (leadingLater ? trailingProof : leadingProof) + settles;
        return;
    }
    if (leadingLine || trailingLine) {
        result.format.zeros = leadingLine ? ZeroMode::Leading : ZeroMode::Trailing;
        const std::size_t line = leadingLine ? *leadingLine : *trailingLine;
        result.zerosOrigin = "inferred from " + lineName(line);
        result.notes.push_back(at(lines, line,
                                  "the file does not say LZ or TZ, and this number " +
                                      (leadingLine ? leadingProof : trailingProof) + ": read with " +
                                      zerosName(result.format.zeros) + " (" + otherZerosOption(result.format.zeros) +
                                      " reads it the other way)"));
        return;
    }
    // Nothing shows the zeros: read as Excellon does by default.
    result.format.zeros = ZeroMode::Trailing;
    if (allDigits) {
        result.zerosOrigin = "every number has all " + std::to_string(total) + " digits";
        return;
    }
    if (equalWidths) {
        result.zerosOrigin = "every number has " + std::to_string(survey.widest) + " digits";
        result.notes.push_back(at(lines, survey.widestLine,
                                  "the file does not say LZ or TZ and every number has " +
                                      std::to_string(survey.widest) +
                                      " digits, so either reading gives the same order: read with trailing zeros "
                                      "kept (TZ) (--zeros leading reads it the other way)"));
        return;
    }
    result.zerosOrigin = "the Excellon default; no number shows which zeros are kept";
    result.notes.push_back(at(lines, survey.widestLine,
                              "the file does not say LZ or TZ, no number starts with 0 and no shorter number ends "
                              "in 0: read with trailing zeros kept (TZ), the Excellon default (--zeros leading "
                              "reads it the other way)"));
}

}  // namespace

void NumberSurvey::add(std::string_view digits, std::size_t line, const FileNumbers& file) {
    if (digits.find_first_not_of('0') == std::string_view::npos || digits.size() > kMaxImpliedDigits) return;
    const std::size_t width = digits.size();
    if (!first) {
        first = file;
        narrowest = width;
    }
    if (width > widest) {
        widest = width;
        widestLine = line;
    }
    narrowest = std::min(narrowest, width);
    if (!leadingZeroLine && digits.front() == '0') leadingZeroLine = line;
    if (digits.back() == '0' && !endsInZeroLine[width]) endsInZeroLine[width] = line;
}

NumberInference inferNumbers(const NumberSurvey& survey, const FileNumbers& file, const NumberOverrides& overrides,
                             const std::vector<DrillLine>& lines) {
    const FileNumbers& said = survey.first ? *survey.first : file;
    NumberInference result;
    result.format = said.format;
    result.zerosOrigin = said.zerosOrigin;
    settleDigits(survey, said, overrides, lines, result);
    if (!result.error.empty()) return result;
    if (!survey.first) {
        // No number needs the zeros; say what the file or the option says.
        if (overrides.zeros) {
            result.format.zeros = *overrides.zeros;
            result.zerosOrigin = "--zeros";
        }
        return result;
    }
    settleZeros(survey, said, overrides, lines, result);
    return result;
}

std::string digitsText(const NumberFormat& format) {
    return std::to_string(format.integerDigits) + "." + std::to_string(format.decimalDigits);
}

std::optional<NumberFormat> readDigitsOption(std::string_view text) {
    const std::size_t point = text.find('.');
    if (point == std::string_view::npos || point != 1 || text.size() != 3) return std::nullopt;
    const char integer = text[0];
    const char decimal = text[2];
    if (integer < '0' || integer > '9' || decimal < '0' || decimal > '9' || (integer == '0' && decimal == '0'))
        return std::nullopt;
    NumberFormat format;
    format.integerDigits = integer - '0';
    format.decimalDigits = decimal - '0';
    return format;
}

}  // namespace twcycle::drill
