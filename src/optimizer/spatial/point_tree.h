// A static k-d tree over the x and y of a point set, for the fast engine's
// searches. It is built once per call and never changes; searches that must
// skip points (visited marks) or weigh them (incident edges) keep their own
// per-node arrays indexed like the nodes.
//
// Nodes are numbered in preorder from the root 0. A leaf holds at most
// kLeafSize storage indices; an inner node splits its points at the median
// of its box's wider side. Coordinates must be finite.
#pragma once

#include <span>
#include <vector>

#include "optimizer/path_optimizer.h"

namespace tw {

struct Box {
    double minX;
    double minY;
    double maxX;
    double maxY;
};

class PointTree {
public:
    static constexpr int kLeafSize = 8;

    struct Node {
        Box box;     // bounding box of the node's points
        int begin;   // the node's points are members()[begin, end)
        int end;
        int left;    // -1 for a leaf
        int right;
        int parent;  // -1 for the root
    };

    // Throws std::bad_alloc when memory is short. An empty set has no nodes.
    explicit PointTree(const std::vector<OptimizerPoint>& points);

    int nodeCount() const { return static_cast<int>(nodes_.size()); }
    const Node& node(int index) const { return nodes_[static_cast<std::size_t>(index)]; }
    static bool isLeaf(const Node& node) { return node.left < 0; }
    // Storage indices of a node's points.
    std::span<const int> members(const Node& node) const {
        return {members_.data() + node.begin, static_cast<std::size_t>(node.end - node.begin)};
    }
    // The leaf that holds storage index `point`.
    int leafOf(int point) const { return leafOf_[static_cast<std::size_t>(point)]; }

private:
    int build(const std::vector<OptimizerPoint>& points, int begin, int end, int parent);

    std::vector<Node> nodes_;
    std::vector<int> members_;
    std::vector<int> leafOf_;
};

// The smallest distance, as exactHypot computes it, from (x, y) to any
// position in `box`. Rounding is monotonic and exactHypot is correctly
// rounded, so no point inside the box has a computed distance below it.
double boxDistance(const Box& box, double x, double y);

// The square of the distance from (x, y) to `box`, roughly: for choosing
// which box to search first, never for a decision.
inline double boxSquareGap(const Box& box, double x, double y) {
    const double dx = x < box.minX ? box.minX - x : (x > box.maxX ? x - box.maxX : 0.0);
    const double dy = y < box.minY ? box.minY - y : (y > box.maxY ? y - box.maxY : 0.0);
    return dx * dx + dy * dy;
}

// True when every point of `box` is, by computed distance, farther than
// `radius` from (x, y) (strictly).
bool boxBeyond(const Box& box, double x, double y, double radius);

// True when every point of `box` is at least `radius` away from (x, y).
bool boxAtLeast(const Box& box, double x, double y, double radius);

}  // namespace tw
