// Which zeros an Excellon file's implied-decimal numbers keep, and how many
// digits they have, when the file does not say: read off the numbers.
//
// With implied decimals any split into integer and decimal digits scales
// every coordinate by the same factor, so the order of the holes never
// depends on it; only the zeros do, and the numbers usually show them:
//   - a number that starts with 0 (and is not all zeros) keeps leading zeros;
//   - a number shorter than the widest that ends in 0 keeps trailing zeros;
//   - when every number has the same width, both readings give one order.
// Numbers that show both refuse the file, naming a line and --zeros.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "drill_file.h"
#include "excellon_numbers.h"

namespace twcycle::drill {

// Wider implied-decimal numbers are refused: 9 integer and 9 decimal digits
// are what the fixed-point values hold.
inline constexpr std::size_t kMaxImpliedDigits = 2 * kMaxFormatDigits;

// What --zeros and --digits say (none: the file, else the numbers decide).
struct NumberOverrides {
    std::optional<ZeroMode> zeros;
    std::optional<NumberFormat> digits;  // its integerDigits and decimalDigits
};

// What a file says about its numbers, and where.
struct FileNumbers {
    NumberFormat format;       // zeros Unknown while unsaid
    bool digitsGiven = false;  // a digit pattern or ;FILE_FORMAT= gave the digits
    std::string zerosOrigin;   // "line 3: INCH,LZ"; empty while unsaid
    std::string digitsOrigin;  // the statement that gave the digits, or the unit default
};

// What the implied-decimal numbers of a file show, gathered while reading.
struct NumberSurvey {
    // A number's digits without sign, read on line `line` (0-based) while
    // the file said `file`. All-zero numbers read the same in every way and
    // show nothing.
    void add(std::string_view digits, std::size_t line, const FileNumbers& file);

    std::optional<FileNumbers> first;  // what the file said at its first such number
    std::size_t widest = 0;
    std::size_t widestLine = 0;
    std::size_t narrowest = 0;
    std::optional<std::size_t> leadingZeroLine;
    // For each width, the first line of a number of that width ending in 0.
    std::array<std::optional<std::size_t>, kMaxImpliedDigits + 1> endsInZeroLine{};
};

struct NumberInference {
    NumberFormat format;        // what the file's implied-decimal numbers are read with
    std::string zerosOrigin;    // see DrillFile
    std::string digitsOrigin;
    std::vector<std::string> notes;
    std::string error;          // empty, or the reason the file is refused at `errorLine`
    std::size_t errorLine = 0;
};

// Settles the format from the overrides, what the file says (`file`, for a
// file without implied-decimal numbers) and the numbers. `lines` are the
// file's lines, for the notes.
NumberInference inferNumbers(const NumberSurvey& survey, const FileNumbers& file, const NumberOverrides& overrides,
                             const std::vector<DrillLine>& lines);

// "2.4" for a format of 2 integer and 4 decimal digits.
std::string digitsText(const NumberFormat& format);

// Reads "I.D" (--digits): 0 to 9 digits each, at least one in all.
std::optional<NumberFormat> readDigitsOption(std::string_view text);

}  // namespace twcycle::drill
