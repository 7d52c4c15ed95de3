// The node set the near-optimal search works on: the distinct positions of
// the points, the start point, and a free end.
//
// An open path from a fixed start that may end anywhere is searched as a
// closed tour through every node: the start node and the free-end node are
// joined by an edge no move may remove, and the free end is at distance 0
// from every other node. Any tour read from the start node away from the free
// end is then an open path of the same length, and moves that touch the free
// end's other edge change where the path ends.
#pragma once

#include <vector>

#include "optimizer/distance.h"
#include "optimizer/near_optimal/distance_cache.h"

namespace tw::nearopt {

struct NodeSet {
    // Coordinates of nodes 0 .. positions-1: the distinct point positions,
    // then the start point. The free end has no coordinates.
    std::vector<double> x;
    std::vector<double> y;
    int startNode = 0;  // index of the start point
    int endNode = 0;    // index of the free end (= startNode + 1)

    int nodeCount() const { return endNode + 1; }

    double distance(int a, int b) const {
        if (a == endNode || b == endNode) return 0.0;
        if (!cache.empty()) return cache.get(a, b, [this](int p, int q) { return computedDistance(p, q); });
        return computedDistance(a, b);
    }

    double computedDistance(int a, int b) const {
        return exactHypot(x[static_cast<std::size_t>(a)] - x[static_cast<std::size_t>(b)],
                          y[static_cast<std::size_t>(a)] - y[static_cast<std::size_t>(b)]);
    }

    // Once filled in (after the node set is complete), distance() keeps
    // what it computes here; the values are the same either way.
    mutable DistanceCache cache;

    // The start-to-free-end edge stays in every tour.
    bool fixedEdge(int a, int b) const {
        return (a == startNode && b == endNode) || (a == endNode && b == startNode);
    }
};

}  // namespace tw::nearopt
