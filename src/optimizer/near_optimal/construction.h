// The first tour of the near-optimal search: the located nodes in the order
// of a Hilbert curve over their bounding box. It is quick (a sort), local
// (nearby nodes are near in the order, so the local search's reversals stay
// short), and deterministic (ties by node index).
#pragma once

#include <vector>

#include "optimizer/near_optimal/nodes.h"

namespace tw::nearopt {

// The nodes 0 .. startNode-1 in curve order. `symmetry` (0 to 7) lays the
// curve over the box in one of the square's eight symmetries: bit 0 mirrors
// left and right, bit 1 top and bottom, bit 2 swaps the axes. 0 is the plain
// curve.
inline constexpr int kCurveSymmetries = 8;
std::vector<int> hilbertOrder(const NodeSet& nodes, int symmetry = 0);

}  // namespace tw::nearopt
