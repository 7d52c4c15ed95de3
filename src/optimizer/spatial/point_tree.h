// The optimizer's one static k-d tree over the x and y of a point set. Every
// spatial search of the optimizer runs on it: the nearest other point and
// the k nearest per quadrant are its own queries; the fast engine's searches
// that must skip points (the tours' visit marks) or weigh them (the path's
// incident edges) keep their own per-node arrays indexed like the nodes and
// walk the nodes themselves.
//
// Nodes are numbered in preorder from the root 0. A leaf holds at most
// kLeafSize points; an inner node splits its points at the median of its
// box's wider side (x on a tie), by (coordinate, index), so the tree does
// not depend on the order in which the library's selection visits them.
// Coordinates must be finite and within kMaxCoordinate.
//
// One optimize builds one tree for all its searches (shared_point_tree.h).
//
// Each node also knows its parent, and each point its leaf: the engines'
// indexes update their per-node values from a leaf up to the root. The
// near-optimal candidate lists do not need them; they cost one int per node
// and per point, which is not worth a second tree.
#pragma once

#include <span>
#include <vector>

#include "optimizer/distance.h"
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
    // The quadrant argument of nearestOthers that admits every position.
    static constexpr int kAnyQuadrant = -1;

    struct Node {
        Box box;     // bounding box of the node's points
        int begin;   // the node's points are members()[begin, end)
        int end;
        int left;    // -1 for a leaf
        int right;
        int parent;  // -1 for the root
    };

    struct Neighbour {
        int point;  // index, -1 for none
        double distance;
    };

    // Throws std::bad_alloc when memory is short. An empty set has no nodes.
    explicit PointTree(const std::vector<OptimizerPoint>& points);
    // The points (x[i], y[i]); both spans have the same length.
    PointTree(std::span<const double> x, std::span<const double> y);

    int nodeCount() const { return static_cast<int>(nodes_.size()); }
    const Node& node(int index) const { return nodes_[static_cast<std::size_t>(index)]; }
    static bool isLeaf(const Node& node) { return node.left < 0; }
    // Indices of a node's points.
    std::span<const int> members(const Node& node) const {
        return {members_.data() + node.begin, static_cast<std::size_t>(node.end - node.begin)};
    }
    // Member position k (a node covers the positions [begin, end)) holds
    // point memberPoint(k) at (memberX(k), memberY(k)): leaf scans read
    // contiguous memory.
    int memberPoint(int k) const { return members_[static_cast<std::size_t>(k)]; }
    double memberX(int k) const { return memberX_[static_cast<std::size_t>(k)]; }
    double memberY(int k) const { return memberY_[static_cast<std::size_t>(k)]; }
    // The leaf that holds point `point`.
    int leafOf(int point) const { return leafOf_[static_cast<std::size_t>(point)]; }

    // The point nearest to point `point`, itself excluded, by the computed
    // distance exactHypot(x[point] - x[j], y[point] - y[j]); of equally
    // near ones the lowest index. {-1, 0} when there is no other point.
    Neighbour nearestOther(int point) const;

    // The `wanted` points nearest to point `point` (itself excluded) whose
    // offset (x[j] - x[point], y[j] - y[point]) lies in `quadrant`, ordered
    // by (distance, index), into `found`; distances as nearestOther's.
    // Quadrants are half-open, so every other position lies in exactly one:
    //   0: dx >= 0, dy > 0    1: dx < 0, dy >= 0
    //   2: dx <= 0, dy < 0    3: dx > 0, dy <= 0
    // kAnyQuadrant admits every position.
    void nearestOthers(int point, int wanted, int quadrant, std::vector<Neighbour>& found) const;

private:
    void initialise(std::span<const double> x, std::span<const double> y);
    int build(int begin, int end, int parent);
    // The member position of point `point`.
    int positionOf(int point) const;
    struct NearestQuery;
    void searchNearest(int index, NearestQuery& query) const;

    std::vector<Node> nodes_;
    std::vector<int> members_;
    std::vector<double> memberX_;
    std::vector<double> memberY_;
    std::vector<int> leafOf_;
};

// How many point trees have been built in this process, so that tests can
// see how often one contour builds one.
long pointTreeBuilds();

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

namespace box_detail {

// Per axis, the rounded difference to the nearest side of the box, or 0
// inside it. A point p of the box has |fl(p - q)| at least this much.
inline double axisGap(double low, double high, double q) {
    if (q < low) return low - q;
    if (q > high) return q - high;
    return 0.0;
}

// Settles `distance > radius` (strict) or `distance >= radius` for the box's
// smallest distance, cheaply by squares where they decide it. Inline: the
// index searches ask it at every node they visit.
inline bool farFrom(const Box& box, double x, double y, double radius, bool strict) {
    const double dx = axisGap(box.minX, box.maxX, x);
    const double dy = axisGap(box.minY, box.maxY, y);
    const int verdict = distance_detail::squareVerdict(dx, dy, radius);
    if (verdict != 0) return verdict > 0;
    const double distance = exactHypot(dx, dy);
    return strict ? distance > radius : distance >= radius;
}

}  // namespace box_detail

// True when every point of `box` is, by computed distance, farther than
// `radius` from (x, y) (strictly).
inline bool boxBeyond(const Box& box, double x, double y, double radius) {
    return box_detail::farFrom(box, x, y, radius, true);
}

// True when every point of `box` is at least `radius` away from (x, y).
inline bool boxAtLeast(const Box& box, double x, double y, double radius) {
    return box_detail::farFrom(box, x, y, radius, false);
}

}  // namespace tw
