#include "optimizer/spatial/point_tree.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace tw {
namespace {

long builds = 0;

}  // namespace

long pointTreeBuilds() { return builds; }

PointTree::PointTree(const std::vector<OptimizerPoint>& points) {
    std::vector<double> x(points.size());
    std::vector<double> y(points.size());
    for (std::size_t i = 0; i < points.size(); ++i) {
        x[i] = points[i].x;
        y[i] = points[i].y;
    }
    initialise(x, y);
}

PointTree::PointTree(std::span<const double> x, std::span<const double> y) { initialise(x, y); }

void PointTree::initialise(std::span<const double> x, std::span<const double> y) {
    ++builds;
    const int count = static_cast<int>(x.size());
    members_.resize(x.size());
    std::iota(members_.begin(), members_.end(), 0);
    leafOf_.assign(x.size(), -1);
    // By point index while building, then into member order.
    memberX_.assign(x.begin(), x.end());
    memberY_.assign(y.begin(), y.begin() + static_cast<std::ptrdiff_t>(x.size()));
    if (count == 0) return;
    // A balanced tree with leaves of at most kLeafSize points has fewer than
    // 2 * count / (kLeafSize / 2) + 1 nodes.
    nodes_.reserve(static_cast<std::size_t>(4 * (count / kLeafSize + 1)));
    build(0, count, -1);
    std::vector<double> ordered(x.size());
    for (std::size_t k = 0; k < ordered.size(); ++k) ordered[k] = memberX_[static_cast<std::size_t>(members_[k])];
    memberX_.swap(ordered);
    for (std::size_t k = 0; k < ordered.size(); ++k) ordered[k] = memberY_[static_cast<std::size_t>(members_[k])];
    memberY_.swap(ordered);
}

int PointTree::build(int begin, int end, int parent) {
    // memberX_ and memberY_ are still by point index here.
    const auto xOf = [this](int point) { return memberX_[static_cast<std::size_t>(point)]; };
    const auto yOf = [this](int point) { return memberY_[static_cast<std::size_t>(point)]; };
    const int first = members_[static_cast<std::size_t>(begin)];
    Box box{xOf(first), yOf(first), xOf(first), yOf(first)};
    for (int k = begin; k < end; ++k) {
        const int point = members_[static_cast<std::size_t>(k)];
        box.minX = std::min(box.minX, xOf(point));
        box.maxX = std::max(box.maxX, xOf(point));
        box.minY = std::min(box.minY, yOf(point));
        box.maxY = std::max(box.maxY, yOf(point));
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
                     [&](int a, int b) {
                         const double pa = alongX ? xOf(a) : yOf(a);
                         const double qa = alongX ? xOf(b) : yOf(b);
                         return pa < qa || (pa == qa && a < b);
                     });
    const int left = build(begin, middle, index);
    const int right = build(middle, end, index);
    nodes_[static_cast<std::size_t>(index)].left = left;
    nodes_[static_cast<std::size_t>(index)].right = right;
    return index;
}

int PointTree::positionOf(int point) const {
    const Node& leaf = node(leafOf(point));
    int k = leaf.begin;
    while (memberPoint(k) != point) ++k;
    return k;
}

double boxDistance(const Box& box, double x, double y) {
    return exactHypot(box_detail::axisGap(box.minX, box.maxX, x), box_detail::axisGap(box.minY, box.maxY, y));
}

}  // namespace tw
