// The first tour of the near-optimal search: the located nodes in the order
// of a Hilbert curve over their bounding box. It is quick (a sort), local
// (nearby nodes are near in the order, so the local search's reversals stay
// short), and deterministic (ties by node index).
#pragma once

#include <vector>

#include "optimizer/near_optimal/nodes.h"

namespace tw::nearopt {

// The nodes 0 .. startNode-1 in curve order.
std::vector<int> hilbertOrder(const NodeSet& nodes);

}  // namespace tw::nearopt
