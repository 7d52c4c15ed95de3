#include "optimizer/spatial/point_tree.h"

#include <algorithm>
#include <cmath>

namespace tw {

PointTree::PointTree(const std::vector<OptimizerPoint>& points)
    : members_(points.size()), leafOf_(points.size(), -1) {
    const int count = static_cast<int>(points.size());
    for (int i = 0; i < count; ++i) members_[static_cast<std::size_t>(i)] = i;
    if (count == 0) return;
    // A balanced tree with leaves of at most kLeafSize points has fewer than
    // 2 * count / (kLeafSize / 2) + 1 nodes.
    nodes_.reserve(static_cast<std::size_t>(4 * (count / kLeafSize + 1)));
    build(points, 0, count, -1);
}

int PointTree::build(const std::vector<OptimizerPoint>& points, int begin, int end, int parent) {
    Box box{points[static_cast<std::size_t>(members_[static_cast<std::size_t>(begin)])].x,
            points[static_cast<std::size_t>(members_[static_cast<std::size_t>(begin)])].y, 0, 0};
    box.maxX = box.minX;
    box.maxY = box.minY;
    for (int k = begin; k < end; ++k) {
        const OptimizerPoint& p = points[static_cast<std::size_t>(members_[static_cast<std::size_t>(k)])];
        box.minX = std::min(box.minX, p.x);
        box.maxX = std::max(box.maxX, p.x);
        box.minY = std::min(box.minY, p.y);
        box.maxY = std::max(box.maxY, p.y);
    }
    const int index = static_cast<int>(nodes_.size());
    nodes_.push_back(Node{box, begin, end, -1, -1, parent});
    if (end - begin <= kLeafSize) {
        for (int k = begin; k < end; ++k) leafOf_[static_cast<std::size_t>(members_[static_cast<std::size_t>(k)])] = index;
        return index;
    }
    const bool alongX = box.maxX - box.minX >= box.maxY - box.minY;
    const int middle = begin + (end - begin) / 2;
    std::nth_element(members_.begin() + begin, members_.begin() + middle, members_.begin() + end,
                     [&points, alongX](int a, int b) {
                         const OptimizerPoint& p = points[static_cast<std::size_t>(a)];
                         const OptimizerPoint& q = points[static_cast<std::size_t>(b)];
                         const double pa = alongX ? p.x : p.y;
                         const double qa = alongX ? q.x : q.y;
                         return pa < qa || (pa == qa && a < b);
                     });
    const int left = build(points, begin, middle, index);
    const int right = build(points, middle, end, index);
    nodes_[static_cast<std::size_t>(index)].left = left;
    nodes_[static_cast<std::size_t>(index)].right = right;
    return index;
}

namespace {

// Per axis, the rounded difference to the nearest side of the box, or 0
// inside it. A point p of the box has |fl(p - q)| at least this much.
double axisGap(double low, double high, double q) {
    if (q < low) return low - q;
    if (q > high) return q - high;
    return 0.0;
}

}  // namespace

double boxDistance(const Box& box, double x, double y) {
    return exactHypot(axisGap(box.minX, box.maxX, x), axisGap(box.minY, box.maxY, y));
}

namespace {

// Settles `distance > radius` (strict) or `distance >= radius` for the box's
// smallest distance, cheaply by squares where they decide it.
bool boxFarFrom(const Box& box, double x, double y, double radius, bool strict) {
    const double dx = axisGap(box.minX, box.maxX, x);
    const double dy = axisGap(box.minY, box.maxY, y);
    const int verdict = distance_detail::squareVerdict(dx, dy, radius);
    if (verdict != 0) return verdict > 0;
    const double distance = exactHypot(dx, dy);
    return strict ? distance > radius : distance >= radius;
}

}  // namespace

bool boxBeyond(const Box& box, double x, double y, double radius) { return boxFarFrom(box, x, y, radius, true); }

bool boxAtLeast(const Box& box, double x, double y, double radius) {
    return boxFarFrom(box, x, y, radius, false);
}

}  // namespace tw
