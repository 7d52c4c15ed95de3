#include "optimizer/near_optimal/neighbours.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace tw::nearopt {
namespace {

// A leaf holds at most this many nodes; smaller leaves mean deeper trees.
constexpr int kLeafSize = 8;

// The order of candidates: by distance, ties by node index.
bool before(const Candidate& a, const Candidate& b) {
    return a.distance < b.distance || (a.distance == b.distance && a.node < b.node);
}

struct TreeNode {
    int lo;         // range of `items` covered
    int hi;
    double minX, maxX, minY, maxY;  // bounding box of the covered nodes
    int axis;       // 0: x, 1: y; -1 for a leaf
    double split;   // left holds coordinates <= split, right >= split
    int left;
    int right;
};

class KdTree {
public:
    KdTree(const NodeSet& nodes, int count) : nodes_(nodes) {
        items_.resize(static_cast<std::size_t>(count));
        for (int i = 0; i < count; ++i) items_[static_cast<std::size_t>(i)] = i;
        tree_.reserve(static_cast<std::size_t>(2 * (count / kLeafSize + 1)));
        build(0, count);
    }

    // The `wanted` nearest nodes to `node` (itself excluded), in the given
    // quadrant (-1: anywhere), ordered by (distance, index).
    void nearest(int node, int wanted, int quadrant, std::vector<Candidate>& best) const {
        best.clear();
        if (!tree_.empty()) search(0, node, wanted, quadrant, best);
    }

private:
    double coordinate(int node, int axis) const {
        return axis == 0 ? nodes_.x[static_cast<std::size_t>(node)] : nodes_.y[static_cast<std::size_t>(node)];
    }

    int build(int lo, int hi) {
        const int index = static_cast<int>(tree_.size());
        double minX = coordinate(items_[static_cast<std::size_t>(lo)], 0), maxX = minX;
        double minY = coordinate(items_[static_cast<std::size_t>(lo)], 1), maxY = minY;
        for (int i = lo + 1; i < hi; ++i) {
            const int node = items_[static_cast<std::size_t>(i)];
            minX = std::min(minX, coordinate(node, 0));
            maxX = std::max(maxX, coordinate(node, 0));
            minY = std::min(minY, coordinate(node, 1));
            maxY = std::max(maxY, coordinate(node, 1));
        }
        tree_.push_back({lo, hi, minX, maxX, minY, maxY, -1, 0.0, -1, -1});
        if (hi - lo <= kLeafSize) return index;
        const int axis = maxX - minX >= maxY - minY ? 0 : 1;
        // A total order (coordinate, index) makes the split independent of
        // the sort implementation.
        std::sort(items_.begin() + lo, items_.begin() + hi, [&](int a, int b) {
            const double ca = coordinate(a, axis);
            const double cb = coordinate(b, axis);
            return ca < cb || (ca == cb && a < b);
        });
        const int middle = lo + (hi - lo) / 2;
        const double split = coordinate(items_[static_cast<std::size_t>(middle)], axis);
        const int left = build(lo, middle);
        const int right = build(middle, hi);
        TreeNode& self = tree_[static_cast<std::size_t>(index)];
        self.axis = axis;
        self.split = split;
        self.left = left;
        self.right = right;
        return index;
    }

    // Quadrant q of `other` as seen from `node`, half-open so that every
    // other position lies in exactly one; -1 means any position.
    bool inQuadrant(int quadrant, double dx, double dy) const {
        switch (quadrant) {
            case 0: return dx >= 0 && dy > 0;
            case 1: return dx < 0 && dy >= 0;
            case 2: return dx <= 0 && dy < 0;
            case 3: return dx > 0 && dy <= 0;
            default: return true;
        }
    }

    // Whether a box may hold a position of the quadrant.
    bool boxTouchesQuadrant(int quadrant, const TreeNode& box, double qx, double qy) const {
        switch (quadrant) {
            case 0: return box.maxX >= qx && box.maxY > qy;
            case 1: return box.minX < qx && box.maxY >= qy;
            case 2: return box.minX <= qx && box.minY < qy;
            case 3: return box.maxX > qx && box.minY <= qy;
            default: return true;
        }
    }

    // Every node in the box is at least this far: rounding is monotone and
    // a rounded distance is never below either rounded coordinate gap.
    static double boxGap(const TreeNode& box, double qx, double qy) {
        const double gx = qx < box.minX ? box.minX - qx : (qx > box.maxX ? qx - box.maxX : 0.0);
        const double gy = qy < box.minY ? box.minY - qy : (qy > box.maxY ? qy - box.maxY : 0.0);
        return gx > gy ? gx : gy;
    }

    void offer(int node, int other, int wanted, int quadrant, std::vector<Candidate>& best) const {
        if (other == node) return;
        const double dx = coordinate(other, 0) - coordinate(node, 0);
        const double dy = coordinate(other, 1) - coordinate(node, 1);
        if (!inQuadrant(quadrant, dx, dy)) return;
        const Candidate candidate{other, nodes_.distance(node, other)};
        if (static_cast<int>(best.size()) == wanted && !before(candidate, best.back())) return;
        if (static_cast<int>(best.size()) == wanted) best.pop_back();
        best.insert(std::upper_bound(best.begin(), best.end(), candidate, before), candidate);
    }

    void search(int index, int node, int wanted, int quadrant, std::vector<Candidate>& best) const {
        const TreeNode& current = tree_[static_cast<std::size_t>(index)];
        const double qx = coordinate(node, 0);
        const double qy = coordinate(node, 1);
        if (!boxTouchesQuadrant(quadrant, current, qx, qy)) return;
        // A strictly larger gap cannot hold a better candidate, ties included.
        if (static_cast<int>(best.size()) == wanted && boxGap(current, qx, qy) > best.back().distance) return;
        if (current.axis < 0) {
            for (int i = current.lo; i < current.hi; ++i)
                offer(node, items_[static_cast<std::size_t>(i)], wanted, quadrant, best);
            return;
        }
        const bool leftFirst = coordinate(node, current.axis) <= current.split;
        search(leftFirst ? current.left : current.right, node, wanted, quadrant, best);
        search(leftFirst ? current.right : current.left, node, wanted, quadrant, best);
    }

    const NodeSet& nodes_;
    std::vector<int> items_;
    std::vector<TreeNode> tree_;
};

}  // namespace

CandidateLists::CandidateLists(const NodeSet& nodes, int nearest, int perQuadrant) {
    const int located = nodes.endNode;  // every node but the free end
    first_.assign(static_cast<std::size_t>(nodes.nodeCount()) + 1, 0);
    entries_.reserve(static_cast<std::size_t>(located) * static_cast<std::size_t>(nearest + perQuadrant));
    const KdTree tree(nodes, located);
    std::vector<Candidate> found;
    std::vector<Candidate> merged;
    for (int node = 0; node < located; ++node) {
        first_[static_cast<std::size_t>(node)] = entries_.size();
        tree.nearest(node, nearest, -1, found);
        merged = found;
        for (int quadrant = 0; quadrant < 4 && perQuadrant > 0; ++quadrant) {
            tree.nearest(node, perQuadrant, quadrant, found);
            merged.insert(merged.end(), found.begin(), found.end());
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
