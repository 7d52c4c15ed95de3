// The table printed after a normal run: per ordered contour its name, its
// point count, the length of the input order, the optimized length and the
// saving, then one total line.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "twcycle/job/result_file.h"
#include "twcycle/job/source_contours.h"

namespace twcycle {

// Names longer than this are cut in the table (the cut is marked by "...").
inline constexpr std::size_t kMaxNameColumn = 32;

struct SummaryRow {
    std::string name;
    std::size_t points = 0;
    std::optional<double> inputLength;  // none when the input order is unknown
    double optimizedLength = 0.0;
};

// The travel through `points` in the given order, beginning at `start`: the
// plain sum of the plane distances, in path order.
double inputOrderLength(PlanePoint start, const std::vector<PlanePoint>& points);

// One row per ordered contour. `source` gives the input order when it holds
// as many contours as `results` (matched in order); a contour whose source
// point count differs from its own, or that names no start point, gets no
// input length.
std::vector<SummaryRow> buildSummary(const std::vector<ResultContour>& results,
                                     const std::vector<SourceContour>* source);

// The saving of `optimized` over `input` in percent; none when it cannot be
// given (no input length, a zero or non-finite one).
std::optional<double> savingPercent(std::optional<double> input, double optimized);

// A length with three decimals, "-" when none or not finite.
std::string lengthText(std::optional<double> length);

// A saving as "12.3 %", "-" when none.
std::string savingText(std::optional<double> percent);

// The table with a header line and a total line, each ending in '\n'.
std::string formatSummary(const std::vector<SummaryRow>& rows);

}  // namespace twcycle
