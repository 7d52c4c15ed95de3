#include "optimizer/near_optimal/neighbours.h"

#include <algorithm>
#include <cstddef>
#include <span>

#include "optimizer/spatial/point_tree.h"

namespace tw::nearopt {
namespace {

// The order of candidates: by distance, ties by node index.
bool before(const Candidate& a, const Candidate& b) {
    return a.distance < b.distance || (a.distance == b.distance && a.node < b.node);
}

void append(const std::vector<PointTree::Neighbour>& found, std::vector<Candidate>& merged) {
    for (const PointTree::Neighbour& neighbour : found) merged.push_back(Candidate{neighbour.point, neighbour.distance});
}

}  // namespace

CandidateLists::CandidateLists(const NodeSet& nodes, int nearest, int perQuadrant) {
    const int located = nodes.endNode;  // every node but the free end
    const auto size = static_cast<std::size_t>(located);
    first_.assign(static_cast<std::size_t>(nodes.nodeCount()) + 1, 0);
    entries_.reserve(size * static_cast<std::size_t>(nearest + perQuadrant));
    // The tree's distances are the node set's: exactHypot of the node's
    // coordinates minus the other's.
    const PointTree tree(std::span<const double>(nodes.x.data(), size), std::span<const double>(nodes.y.data(), size));
    std::vector<PointTree::Neighbour> found;
    std::vector<Candidate> merged;
    for (int node = 0; node < located; ++node) {
        first_[static_cast<std::size_t>(node)] = entries_.size();
        merged.clear();
        tree.nearestOthers(node, nearest, PointTree::kAnyQuadrant, found);
        append(found, merged);
        for (int quadrant = 0; quadrant < 4 && perQuadrant > 0; ++quadrant) {
            tree.nearestOthers(node, perQuadrant, quadrant, found);
            append(found, merged);
        }
        std::sort(merged.begin(), merged.end(), before);
        merged.erase(std::unique(merged.begin(), merged.end(),
                                 [](const Candidate& a, const Candidate& b) { return a.node == b.node; }),
                     merged.end());
        entries_.insert(entries_.end(), merged.begin(), merged.end());
    }
    first_[static_cast<std::size_t>(located)] = entries_.size();
    first_[static_cast<std::size_t>(located) + 1] = entries_.size();
}

}  // namespace tw::nearopt
