// The near-optimal mode: orders one contour as an open path from the fixed
// start point, ending anywhere, within about 1 % of the best known paths on
// drilling sets.
//
// Road: coinciding points are merged into one position (visiting copies
// together costs nothing); a Hilbert-curve tour of the positions; chains of
// two-exchanges with candidate lists of the nearest positions
// (search.h); then kicks (kicks.h), as many as
// `searchEffort` buys (search_effort.h). Distances are exactHypot
// throughout, the kicks come from a fixed-seed generator and the work is
// counted, so the order is the same on every run and platform.
//
// Never longer: the result replaces the order only when its length (start
// point included) is not above the length of the order it started from.
// Like the other heuristics it leaves the order unchanged without a start
// point, with fewer than two points, with coordinates the heuristics do not
// accept (orderableCoordinates) or when memory runs short.
//
// Cost: O(n log^2 n) to set up, then the effort's counted work: linear in n
// up to 25,000 positions, growing as n^(1/2) past that (search_effort.h);
// memory linear in n (the distance cache included).
#pragma once

#include <cstdint>

#include "optimizer/path_optimizer.h"

namespace tw {

void nearOptimalPath(PathOptimizer& optimizer);

namespace nearopt {

// The phases of one search: set-up (merging positions, candidate lists),
// then for each attempt its first local search and its kicks.
enum class Phase { kSetUp, kLocalSearch, kKicks };

// When set, called each time a phase ends (with several attempts the first
// searches and the kicks take turns). Only the benchmark sets it, to read
// its clock: the search itself never reads one.
using PhaseHook = void (*)(Phase finished);
extern PhaseHook phaseHook;

// Another sequence of kicks than the module's own, when not 0. Only the
// benchmark sets it, to show how much a result owes to the one fixed
// sequence; every run of the module uses 0.
extern std::uint64_t kickSequence;

}  // namespace nearopt
}  // namespace tw
