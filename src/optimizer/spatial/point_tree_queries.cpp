// The point tree's own queries: the nearest other point and the k nearest
// per quadrant, exact to the computed distance, ties by index.
#include <algorithm>

#include "optimizer/spatial/point_tree.h"

namespace tw {
namespace {

using Neighbour = PointTree::Neighbour;

// The order of the results: by distance, ties by index.
bool before(const Neighbour& a, const Neighbour& b) {
    return a.distance < b.distance || (a.distance == b.distance && a.point < b.point);
}

bool inQuadrant(int quadrant, double dx, double dy) {
    switch (quadrant) {
        case 0: return dx >= 0 && dy > 0;
        case 1: return dx < 0 && dy >= 0;
        case 2: return dx <= 0 && dy < 0;
        case 3: return dx > 0 && dy <= 0;
        default: return true;
    }
}

// Whether a box may hold a position of the quadrant around (x, y).
bool boxTouchesQuadrant(int quadrant, const Box& box, double x, double y) {
    switch (quadrant) {
        case 0: return box.maxX >= x && box.maxY > y;
        case 1: return box.minX < x && box.maxY >= y;
        case 2: return box.minX <= x && box.minY < y;
        case 3: return box.maxX > x && box.minY <= y;
        default: return true;
    }
}

}  // namespace

struct PointTree::NearestQuery {
    int self;
    double x;
    double y;
    int wanted;
    int quadrant;
    std::vector<Neighbour>* found;  // sorted by `before`, at most `wanted`

    bool full() const { return static_cast<int>(found->size()) == wanted; }
};

PointTree::Neighbour PointTree::nearestOther(int point) const {
    std::vector<Neighbour> found;
    found.reserve(1);
    nearestOthers(point, 1, kAnyQuadrant, found);
    return found.empty() ? Neighbour{-1, 0.0} : found.front();
}

void PointTree::nearestOthers(int point, int wanted, int quadrant, std::vector<Neighbour>& found) const {
    found.clear();
    if (wanted <= 0 || nodes_.empty()) return;
    const int k = positionOf(point);
    NearestQuery query{point, memberX(k), memberY(k), wanted, quadrant, &found};
    searchNearest(0, query);
}

void PointTree::searchNearest(int index, NearestQuery& query) const {
    const Node& current = node(index);
    if (!boxTouchesQuadrant(query.quadrant, current.box, query.x, query.y)) return;
    // A box strictly beyond the worst kept distance holds no better point;
    // one at exactly that distance may hold a lower index.
    if (query.full() && boxBeyond(current.box, query.x, query.y, query.found->back().distance)) return;
    if (isLeaf(current)) {
        std::vector<Neighbour>& found = *query.found;
        for (int k = current.begin; k < current.end; ++k) {
            const int other = memberPoint(k);
            if (other == query.self) continue;
            const double dx = memberX(k) - query.x;
            const double dy = memberY(k) - query.y;
            if (!inQuadrant(query.quadrant, dx, dy)) continue;
            const Neighbour candidate{other, exactHypot(query.x - memberX(k), query.y - memberY(k))};
            if (query.full()) {
                if (!before(candidate, found.back())) continue;
                found.pop_back();
            }
            found.insert(std::upper_bound(found.begin(), found.end(), candidate, before), candidate);
        }
        return;
    }
    // The nearer child first, so that the kept distances shrink early.
    const bool leftFirst = boxSquareGap(node(current.left).box, query.x, query.y) <=
                           boxSquareGap(node(current.right).box, query.x, query.y);
    searchNearest(leftFirst ? current.left : current.right, query);
    searchNearest(leftFirst ? current.right : current.left, query);
}

}  // namespace tw
