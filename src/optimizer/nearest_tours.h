// Greedy tours that rebuild the whole order from the start point.
#pragma once

#include "optimizer/path_optimizer.h"

namespace tw {

// Walks from the start point to the nearest unvisited point each time; of
// candidates within kDirectedTieTolerance of the best distance it prefers
// the one that continues the previous move most nearly straight on.
// Returns 1 when the new order was kept (not longer than the old one), 0
// when the order is unchanged (longer result, no start point, no points,
// coordinates out of range, no memory).
int directedNearestTour(PathOptimizer& optimizer);

// Walks from the start point to the strictly nearest unvisited point each
// time (lowest storage index among equals). Results as above.
int nearestTour(PathOptimizer& optimizer);

// Distances closer than this to the best one count as a tie in the directed
// tour.
inline constexpr double kDirectedTieTolerance = 0.001;

}  // namespace tw
