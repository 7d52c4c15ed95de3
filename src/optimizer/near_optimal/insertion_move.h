// Longer insertions for the near-optimal search: the sequential three-edge
// move that swaps two neighbouring stretches of any length, both keeping
// their direction. Exchange chains cannot reach it, since its first two
// steps leave the tour in two pieces, and the segment moves stop at three
// nodes.
//
// From t1 and its neighbour t2: join t2 to a candidate t3 further along
// and remove (t3, t4) towards the far side, which closes the stretch
// t2 .. t3 into a ring; join t4 to a candidate t5 on that ring and open it
// at (t5, t6), t6 following t5; close with (t6, t1). The tour
// t1 [t2 .. t5] [t6 .. t3] t4 becomes t1 [t6 .. t3] [t2 .. t5] t4.
#pragma once

#include "optimizer/near_optimal/neighbours.h"
#include "optimizer/near_optimal/nodes.h"
#include "optimizer/near_optimal/tour.h"
#include "optimizer/near_optimal/two_level_tour.h"

namespace tw::nearopt {

// Makes the best such move from `t1` when it gains more than `tolerance`:
// adds the gain to `gained` and returns true (the exchanges are recorded in
// the tour). Adds the candidates examined and the nodes moved to `work`.
// `Tour` is ArrayTour or TwoLevelTour.
template <class Tour>
bool improveByInsertion(const NodeSet& nodes, const CandidateLists& candidates, Tour& tour, int t1,
                        double tolerance, double& gained, long long& work);

}  // namespace tw::nearopt
