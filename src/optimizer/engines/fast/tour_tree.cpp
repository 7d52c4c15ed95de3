#include "optimizer/engines/fast/tour_tree.h"

#include "optimizer/spatial/shared_point_tree.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace tw {
namespace {

// Below this bound the squares could lose their relative precision to
// underflow, so the square test is not trusted.
constexpr double kSquareFloor = 1e-100;
// Relative slack of the square test, far above the few roundings of a sum
// of two squares (about 1e-15).
constexpr double kSquareSlack = 1e-9;

// True when a computed square dx*dx + dy*dy proves exactHypot(dx, dy) >
// bound. The slack leaves the true root above bound by far more than half
// an ulp, so its correctly rounded value is above bound too.
bool squareBeyond(double square, double bound) {
    return bound >= kSquareFloor && square > bound * bound * (1.0 + kSquareSlack);
}

// The rounded difference from q to the nearer side of [low, high], or 0.
// Every point p of the box has |fl(p - q)| at least this large.
double axisGap(double low, double high, double q) {
    if (q < low) return low - q;
    if (q > high) return q - high;
    return 0.0;
}

double boxGapSquare(const Box& box, double x, double y) {
    const double dx = axisGap(box.minX, box.maxX, x);
    const double dy = axisGap(box.minY, box.maxY, y);
    return dx * dx + dy * dy;
}

// True when a box's computed gap square `gap` shows that some position of
// the box is nearer than bound, so neither test below can hold (the exact
// tests begin with this very check).
bool squareWithin(double gap, double bound) {
    return bound * bound < std::numeric_limits<double>::infinity() &&
           gap < bound * bound * (1.0 - kSquareSlack);
}

// Every point of the box is farther than bound (strictly). `gap` is
// boxGapSquare of the box; the square tests settle most boxes, the exact
// test the rest.
bool provablyBeyond(const Box& box, double x, double y, double bound, double gap) {
    if (squareBeyond(gap, bound)) return true;
    if (squareWithin(gap, bound)) return false;
    return boxBeyond(box, x, y, bound);
}

bool provablyAtLeast(const Box& box, double x, double y, double bound, double gap) {
    if (squareBeyond(gap, bound)) return true;
    if (squareWithin(gap, bound)) return false;
    return boxAtLeast(box, x, y, bound);
}

}  // namespace

struct TourTree::Query {
    double x;
    double y;
    int limit;
    double radius;
    bool bounded;  // radius is finite
    Found best;    // best.point < 0 until a point qualifies
};

TourTree::TourTree(const PathOptimizer& optimizer)
    : treeHolder_(pointTreeFor(optimizer)), tree_(*treeHolder_), visited_(optimizer.points.size(), 0) {
    const int count = static_cast<int>(optimizer.points.size());
    const int nodes = tree_.nodeCount();
    unvisited_.assign(static_cast<std::size_t>(nodes), 0);
    lowest_.assign(static_cast<std::size_t>(nodes), count);
    highest_.assign(static_cast<std::size_t>(nodes), -1);
    // Preorder numbering puts children after their parent, so a reverse
    // sweep sees both children before the node.
    for (int index = nodes - 1; index >= 0; --index) {
        const PointTree::Node& node = tree_.node(index);
        const auto slot = static_cast<std::size_t>(index);
        unvisited_[slot] = node.end - node.begin;
        if (PointTree::isLeaf(node)) {
            for (const int point : tree_.members(node)) {
                lowest_[slot] = std::min(lowest_[slot], point);
                highest_[slot] = std::max(highest_[slot], point);
            }
        } else {
            const auto left = static_cast<std::size_t>(node.left);
            const auto right = static_cast<std::size_t>(node.right);
            lowest_[slot] = std::min(lowest_[left], lowest_[right]);
            highest_[slot] = std::max(highest_[left], highest_[right]);
        }
    }
}

void TourTree::visit(int point) {
    visited_[static_cast<std::size_t>(point)] = 1;
    const int count = static_cast<int>(visited_.size());
    int index = tree_.leafOf(point);
    {
        const auto slot = static_cast<std::size_t>(index);
        int low = count;
        int high = -1;
        for (const int member : tree_.members(tree_.node(index))) {
            if (visited_[static_cast<std::size_t>(member)] != 0) continue;
            low = std::min(low, member);
            high = std::max(high, member);
        }
        --unvisited_[slot];
        lowest_[slot] = low;
        highest_[slot] = high;
    }
    for (index = tree_.node(index).parent; index >= 0; index = tree_.node(index).parent) {
        const PointTree::Node& node = tree_.node(index);
        const auto slot = static_cast<std::size_t>(index);
        const auto left = static_cast<std::size_t>(node.left);
        const auto right = static_cast<std::size_t>(node.right);
        --unvisited_[slot];
        lowest_[slot] = std::min(lowest_[left], lowest_[right]);
        highest_[slot] = std::max(highest_[left], highest_[right]);
    }
}

TourTree::Found TourTree::nearest(double x, double y, int limit, double radius) const {
    Query query{x, y, limit, radius, std::isfinite(radius), Found{radius, -1}};
    if (tree_.nodeCount() > 0) searchNearest(0, boxGapSquare(tree_.node(0).box, x, y), query);
    return query.best;
}

void TourTree::searchNearest(int index, double gap, Query& query) const {
    const auto slot = static_cast<std::size_t>(index);
    if (unvisited_[slot] == 0 || lowest_[slot] >= query.limit) return;
    const PointTree::Node& node = tree_.node(index);
    if (query.best.point < 0) {
        if (query.bounded && provablyBeyond(node.box, query.x, query.y, query.radius, gap)) return;
    } else {
        // A point wins by a smaller distance, or by an equal one and a lower
        // storage index.
        if (provablyBeyond(node.box, query.x, query.y, query.best.distance, gap)) return;
        if (lowest_[slot] >= query.best.point &&
            provablyAtLeast(node.box, query.x, query.y, query.best.distance, gap)) {
            return;
        }
    }
    if (!PointTree::isLeaf(node)) {
        int first = node.left;
        int second = node.right;
        double firstGap = boxGapSquare(tree_.node(first).box, query.x, query.y);
        double secondGap = boxGapSquare(tree_.node(second).box, query.x, query.y);
        if (secondGap < firstGap ||
            (secondGap == firstGap && lowest_[static_cast<std::size_t>(second)] <
                                          lowest_[static_cast<std::size_t>(first)])) {
            std::swap(first, second);
            std::swap(firstGap, secondGap);
        }
        searchNearest(first, firstGap, query);
        searchNearest(second, secondGap, query);
        return;
    }
    for (int k = node.begin; k < node.end; ++k) {
        const int point = tree_.memberPoint(k);
        if (point >= query.limit || visited_[static_cast<std::size_t>(point)] != 0) continue;
        const double dx = tree_.memberX(k) - query.x;
        const double dy = tree_.memberY(k) - query.y;
        if (squareBeyond(dx * dx + dy * dy, query.best.distance)) continue;
        const double distance = exactHypot(dx, dy);
        if (distance > query.radius) continue;
        if (query.best.point < 0 || distance < query.best.distance ||
            (distance == query.best.distance && point < query.best.point)) {
            query.best = Found{distance, point};
        }
    }
}

struct TourTree::AroundQuery {
    double x;
    double y;
    double tolerance;
    std::size_t cap;
    double reach;  // toleranceReach of the best distance so far
    Found best;
    std::vector<Found>* around;
};

bool TourTree::nearestAndAround(double x, double y, double tolerance, std::size_t cap,
                                Found& nearest, std::vector<Found>& around) const {
    around.clear();
    AroundQuery query{
        x, y, tolerance, cap, std::numeric_limits<double>::infinity(), Found{0.0, -1}, &around};
    if (tree_.nodeCount() > 0 && !searchAround(0, boxGapSquare(tree_.node(0).box, x, y), query)) {
        return false;
    }
    nearest = query.best;
    std::erase_if(around, [&query](const Found& f) { return f.distance > query.reach; });
    return true;
}

bool TourTree::searchAround(int index, double gap, AroundQuery& query) const {
    const auto slot = static_cast<std::size_t>(index);
    if (unvisited_[slot] == 0) return true;
    const PointTree::Node& node = tree_.node(index);
    if (query.best.point >= 0 && provablyBeyond(node.box, query.x, query.y, query.reach, gap)) {
        return true;
    }
    if (!PointTree::isLeaf(node)) {
        int first = node.left;
        int second = node.right;
        double firstGap = boxGapSquare(tree_.node(first).box, query.x, query.y);
        double secondGap = boxGapSquare(tree_.node(second).box, query.x, query.y);
        if (secondGap < firstGap) {
            std::swap(first, second);
            std::swap(firstGap, secondGap);
        }
        return searchAround(first, firstGap, query) && searchAround(second, secondGap, query);
    }
    for (int k = node.begin; k < node.end; ++k) {
        const int point = tree_.memberPoint(k);
        if (visited_[static_cast<std::size_t>(point)] != 0) continue;
        const double dx = tree_.memberX(k) - query.x;
        const double dy = tree_.memberY(k) - query.y;
        if (query.best.point >= 0 && squareBeyond(dx * dx + dy * dy, query.reach)) continue;
        const double distance = exactHypot(dx, dy);
        if (query.best.point >= 0 && distance > query.reach) continue;
        if (query.best.point < 0 || distance < query.best.distance ||
            (distance == query.best.distance && point < query.best.point)) {
            query.best = Found{distance, point};
            query.reach = toleranceReach(distance, query.tolerance);
        }
        std::vector<Found>& around = *query.around;
        around.push_back(Found{distance, point});
        if (around.size() > query.cap) {
            const double reach = query.reach;
            std::erase_if(around, [reach](const Found& f) { return f.distance > reach; });
            if (around.size() > query.cap) return false;
        }
    }
    return true;
}

TourTree::Aligned TourTree::bestAligned(const AlignmentQuery& query, Aligned incumbent) const {
    if (tree_.nodeCount() > 0) searchAligned(0, query, incumbent);
    return incumbent;
}

// The largest alignment any point of the node can have. Each product is
// monotone in its coordinate (the sign of the move decides which way) and
// so is the rounded sum, so the corner the move points to gives, with the
// same expression, a bound that holds after rounding.
double TourTree::alignmentBound(int index, const AlignmentQuery& query) const {
    const Box& box = tree_.node(index).box;
    const double cornerX = query.moveX >= 0.0 ? box.maxX : box.minX;
    const double cornerY = query.moveY >= 0.0 ? box.maxY : box.minY;
    const double vx = cornerX - query.x;
    const double vy = cornerY - query.y;
    return vx * query.moveX + vy * query.moveY;
}

void TourTree::searchAligned(int index, const AlignmentQuery& query, Aligned& best) const {
    const auto slot = static_cast<std::size_t>(index);
    if (unvisited_[slot] == 0 || highest_[slot] <= query.after) return;
    const PointTree::Node& node = tree_.node(index);
    // A point wins by a greater alignment, or by an equal one and a lower
    // storage index.
    const double bound = alignmentBound(index, query);
    if (bound < best.alignment || (bound == best.alignment && lowest_[slot] >= best.point)) return;
    if (provablyBeyond(node.box, query.x, query.y, query.reach,
                       boxGapSquare(node.box, query.x, query.y))) {
        return;
    }
    if (!PointTree::isLeaf(node)) {
        int first = node.left;
        int second = node.right;
        if (alignmentBound(second, query) > alignmentBound(first, query)) std::swap(first, second);
        searchAligned(first, query, best);
        searchAligned(second, query, best);
        return;
    }
    for (int k = node.begin; k < node.end; ++k) {
        const int point = tree_.memberPoint(k);
        if (point <= query.after || visited_[static_cast<std::size_t>(point)] != 0) continue;
        const double vx = tree_.memberX(k) - query.x;
        const double vy = tree_.memberY(k) - query.y;
        const double alignment = vx * query.moveX + vy * query.moveY;
        if (alignment < best.alignment || (alignment == best.alignment && point > best.point)) {
            continue;
        }
        if (squareBeyond(vx * vx + vy * vy, query.reach)) continue;
        if (!(std::fabs(exactHypot(vx, vy) - query.distance) < query.tolerance)) continue;
        best = Aligned{alignment, point};
    }
}

}  // namespace tw
