// Exhaustive successor-rank search over the point set.
//
// Every point gets a successor by neighbour rank (1 = nearest other point);
// rank vectors are enumerated level by level (largest rank 1, 2, ...) until
// the successors form one cycle through all points. That cycle, cut after
// the last stored point, becomes the order. The start point is ignored and
// no lengths are compared: the first cycle found is kept.
//
// Progress goes to the given stream: "Complete in line %d", the "Min: ..."
// statistics line, one "." per new level and a spinner character followed
// by a backspace every 10000th odometer advance.
#pragma once

#include <cstdio>

#include "optimizer/path_optimizer.h"

namespace tw {

// Largest point set searched. The distance table holds count * count
// entries (16 MiB here); a larger set takes the lack-of-memory path: the
// order stays unchanged and nothing is printed.
inline constexpr int kMaxWeightMatrixPoints = 1024;

// Work budget of one search, counted as odometer advances times the number
// of points (an advance may reset every digit). The search is exponential:
// beyond a dozen or so points it may never end. When the budget is spent it
// stops as an exhausted search does: order unchanged. That takes a few
// seconds; every set of up to 8 points (at most 8^8 vectors) and 11
// coinciding points finish within it.
inline constexpr long long kMaxSearchSteps = 2000000000;

// Odometer advances between two spinner characters.
inline constexpr int kSpinnerInterval = 10000;

struct WeightMatrixLimits {
    int maxPoints = kMaxWeightMatrixPoints;
    long long maxSteps = kMaxSearchSteps;
};

// The spinner's call counter (0..kSpinnerInterval-1) and position (0..3);
// one module-wide instance carries over from search to search.
struct SearchProgress {
    int calls = 0;
    int spinner = 0;
};

// Runs the search with the default limits, printing to standard output.
// Returns 1 (also when it changes nothing).
int weightMatrixSearch(PathOptimizer& optimizer);

// The same with explicit limits, progress state and output stream. Fewer
// than two points, a coordinate that is not finite or beyond kMaxCoordinate,
// more than limits.maxPoints points or lack of memory leave the order
// unchanged without printing.
int weightMatrixSearch(PathOptimizer& optimizer, const WeightMatrixLimits& limits,
                       SearchProgress& progress, std::FILE* out);

}  // namespace tw
