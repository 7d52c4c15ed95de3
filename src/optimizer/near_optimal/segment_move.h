// Or-opt for the near-optimal search: a stretch of one to three nodes taken
// out of the tour and put back, either way round, between two neighbours
// elsewhere, next to one of its ends' candidates. Exchange chains reach most
// such moves, but not the one that keeps the stretch's direction, whose
// intermediate tours fall apart.
#pragma once

#include "optimizer/near_optimal/neighbours.h"
#include "optimizer/near_optimal/nodes.h"
#include "optimizer/near_optimal/tour.h"
#include "optimizer/near_optimal/two_level_tour.h"

namespace tw::nearopt {

// Longest stretch moved.
inline constexpr int kLongestSegment = 3;

// Applies the best segment move among the stretches that begin or end at
// `node` when it gains more than `tolerance`: adds the gain to `gained` and
// returns true (the exchanges made are recorded in the tour). Adds the
// candidates examined and nodes moved to `work`.
// `Tour` is ArrayTour or TwoLevelTour.
template <class Tour>
bool improveBySegmentMove(const NodeSet& nodes, const CandidateLists& candidates, Tour& tour, int node,
                          double tolerance, double& gained, long long& work);

}  // namespace tw::nearopt
