// A check the near-optimal tests share: a tour is one cycle through every
// node, with the start and the free end joined.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "optimizer/near_optimal/nodes.h"

namespace tw::nearopt {

// The tour's length (the path's: the free end's edges count 0), after
// checking that it visits every node once with the start and the free end
// joined.
template <class Tour>
double wholeTourLength(const NodeSet& nodes, const Tour& tour) {
    std::vector<char> seen(static_cast<std::size_t>(nodes.nodeCount()), 0);
    double total = 0.0;
    int node = 0;
    for (int k = 0; k < tour.size(); ++k, node = tour.next(node)) {
        EXPECT_EQ(seen[static_cast<std::size_t>(node)], 0);
        EXPECT_EQ(tour.previous(tour.next(node)), node);
        seen[static_cast<std::size_t>(node)] = 1;
        total += nodes.distance(node, tour.next(node));
    }
    EXPECT_EQ(node, 0);
    EXPECT_TRUE(tour.next(nodes.startNode) == nodes.endNode || tour.previous(nodes.startNode) == nodes.endNode);
    return total;
}

}  // namespace tw::nearopt
