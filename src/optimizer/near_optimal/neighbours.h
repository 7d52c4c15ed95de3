// Candidate lists for the near-optimal search: for every node with
// coordinates, its nearest other nodes overall and per quadrant, found with
// the optimizer's point tree.
//
// The lists are exact and deterministic: the smallest by (distance, node
// index), whatever the tree's shape. Building costs O(n log n), queries
// O(log n) each on spread-out sets; memory is linear.
#pragma once

#include <vector>

#include "optimizer/near_optimal/nodes.h"

namespace tw::nearopt {

struct Candidate {
    int node;
    double distance;
};

class CandidateLists {
public:
    // For every node with coordinates: its `nearest` nearest nodes and the
    // `perQuadrant` nearest in each quadrant around it (so that the lists
    // also reach across gaps between clusters), without repeats, nearest
    // first. The free end appears in no list and has none.
    CandidateLists(const NodeSet& nodes, int nearest, int perQuadrant);

    const Candidate* begin(int node) const { return entries_.data() + first_[static_cast<std::size_t>(node)]; }
    const Candidate* end(int node) const { return entries_.data() + first_[static_cast<std::size_t>(node) + 1]; }

private:
    std::vector<std::size_t> first_;  // node -> first entry; nodeCount + 1 entries
    std::vector<Candidate> entries_;
};

}  // namespace tw::nearopt
