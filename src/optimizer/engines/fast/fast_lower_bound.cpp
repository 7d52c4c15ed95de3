// The fast engine's lower bound: every point's nearest-neighbour distance
// from a tree search instead of a scan, summed exactly as the literal loop
// sums them (storage order; the largest found by a strict comparison from
// 0). Only the minimum's value matters, so ties need no care.
#include <cmath>
#include <new>

#include "optimizer/engines/engine.h"
#include "optimizer/spatial/point_tree.h"

namespace tw {
namespace {

// Coordinates the tree's box bounds handle: finite, and small enough that
// no square overflows. The start point does not enter the bound.
bool pointsInRange(const PathOptimizer& optimizer) {
    for (const OptimizerPoint& point : optimizer.points) {
        if (!(std::fabs(point.x) <= kMaxCoordinate) || !(std::fabs(point.y) <= kMaxCoordinate)) {
            return false;
        }
    }
    return true;
}

class NearestOther {
public:
    NearestOther(const PathOptimizer& optimizer, const PointTree& tree)
        : points_(optimizer.points), tree_(tree) {}

    // The smallest distance, as the literal loop computes it, from point i
    // to any other point (there is at least one).
    double operator()(int i) {
        self_ = i;
        x_ = points_[static_cast<std::size_t>(i)].x;
        y_ = points_[static_cast<std::size_t>(i)].y;
        found_ = false;
        best_ = 0.0;
        // i's own leaf first gives a tight bound for the whole search.
        scanLeaf(tree_.node(tree_.leafOf(i)));
        search(0);
        return best_;
    }

private:
    void scanLeaf(const PointTree::Node& node) {
        for (const int j : tree_.members(node)) {
            if (j == self_) continue;
            const OptimizerPoint& other = points_[static_cast<std::size_t>(j)];
            const double distance = planeDistance(x_, y_, other.x, other.y);
            if (!found_ || distance < best_) {
                best_ = distance;
                found_ = true;
            }
        }
    }

    void search(int index) {
        const PointTree::Node& node = tree_.node(index);
        if (found_ && boxAtLeast(node.box, x_, y_, best_)) return;
        if (PointTree::isLeaf(node)) {
            if (index != tree_.leafOf(self_)) scanLeaf(node);
            return;
        }
        // The child on the point's side first.
        const double leftGap = boxDistanceSquareHint(tree_.node(node.left).box);
        const double rightGap = boxDistanceSquareHint(tree_.node(node.right).box);
        if (rightGap < leftGap) {
            search(node.right);
            search(node.left);
        } else {
            search(node.left);
            search(node.right);
        }
    }

    // Only orders the children; correctness rests on boxAtLeast.
    double boxDistanceSquareHint(const Box& box) const {
        const double dx = x_ < box.minX ? box.minX - x_ : (x_ > box.maxX ? x_ - box.maxX : 0.0);
        const double dy = y_ < box.minY ? box.minY - y_ : (y_ > box.maxY ? y_ - box.maxY : 0.0);
        return dx * dx + dy * dy;
    }

    const std::vector<OptimizerPoint>& points_;
    const PointTree& tree_;
    int self_ = 0;
    double x_ = 0.0;
    double y_ = 0.0;
    bool found_ = false;
    double best_ = 0.0;
};

double treeLowerBound(const PathOptimizer& optimizer) {
    const PointTree tree(optimizer.points);
    NearestOther nearestOther(optimizer, tree);
    double sum = 0.0;
    double largest = 0.0;
    for (int i = 0; i < optimizer.count; ++i) {
        const double nearest = nearestOther(i);
        sum += nearest;
        if (nearest > largest) largest = nearest;
    }
    return sum - largest;
}

}  // namespace

double fastLowerBound(const PathOptimizer& optimizer) {
    // Fewer than two points have no neighbour to search for, and points out
    // of range would break the box bounds; the literal loop handles both.
    if (optimizer.count < 2 || !pointsInRange(optimizer)) return referenceLowerBound(optimizer);
    try {
        return treeLowerBound(optimizer);
    } catch (const std::bad_alloc&) {
        return referenceLowerBound(optimizer);
    }
}

}  // namespace tw
