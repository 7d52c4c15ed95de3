// The fast engine's index for the greedy tours: the static point tree plus
// visit marks.
//
// Per node it keeps the number of unvisited points and the lowest and
// highest unvisited storage index, updated on every visit along the path to
// the root. Searches skip spent subtrees, subtrees outside a storage-index
// range, and subtrees whose box is provably too far; ties are broken by
// storage index without touching every equally near point.
//
// Distances are the tours' own: exactHypot(p.x - x, p.y - y) for point p
// seen from (x, y), bit for bit. Coordinates must be finite and within
// kMaxCoordinate, so that no square overflows.
#pragma once

#include <memory>
#include <vector>

#include "optimizer/path_optimizer.h"
#include "optimizer/spatial/point_tree.h"

namespace tw {

// A distance beyond which every computed distance w has w - distance at
// least `tolerance` even after rounding: above it the exact difference
// exceeds the tolerance, and rounding keeps it there. The relative margin
// covers the roundings of this very sum.
inline double toleranceReach(double distance, double tolerance) {
    return (distance + tolerance) * (1.0 + 1e-12) + 1e-9;
}

class TourTree {
public:
    struct Found {
        double distance;
        int point;  // storage index, -1 when nothing qualifies
    };

    // Over the optimizer's point tree (pointTreeFor). Throws std::bad_alloc
    // when memory is short.
    explicit TourTree(const PathOptimizer& optimizer);

    // Marks an unvisited point visited.
    void visit(int point);
    bool visited(int point) const { return visited_[static_cast<std::size_t>(point)] != 0; }

    // Of the unvisited points with storage index below `limit` and distance
    // at most `radius` (infinity for no bound), the nearest; of equally near
    // ones the lowest storage index.
    Found nearest(double x, double y, int limit, double radius) const;

    // The nearest unvisited point (lowest storage index among equally near
    // ones) into `nearest`, and into `around` every unvisited point whose
    // distance is below toleranceReach(nearest.distance, tolerance), and
    // perhaps a few more, each with its distance, in no particular order.
    // Returns false, with both unusable, when more than `cap` points are
    // around; nearest.point is -1 when no point is left.
    bool nearestAndAround(double x, double y, double tolerance, std::size_t cap, Found& nearest,
                          std::vector<Found>& around) const;

    // The near-tie search of the directed tour: among the unvisited points
    // with storage index above `after` whose distance w is a near-tie of
    // `distance` (|w - distance| < tolerance; all lie within `reach`), the
    // greatest alignment (p.x - x) * moveX + (p.y - y) * moveY, the lowest
    // storage index among equal ones. `incumbent` competes too and keeps
    // the place unless beaten.
    struct AlignmentQuery {
        double x;
        double y;
        double moveX;
        double moveY;
        int after;
        double distance;
        double tolerance;
        double reach;
    };
    struct Aligned {
        double alignment;
        int point;
    };
    Aligned bestAligned(const AlignmentQuery& query, Aligned incumbent) const;

private:
    struct Query;

    // `gap` is the node's box gap square from the query position.
    void searchNearest(int node, double gap, Query& query) const;
    struct AroundQuery;
    bool searchAround(int node, double gap, AroundQuery& query) const;
    void searchAligned(int node, const AlignmentQuery& query, Aligned& best) const;
    double alignmentBound(int node, const AlignmentQuery& query) const;

    std::shared_ptr<const PointTree> treeHolder_;
    const PointTree& tree_;
    std::vector<char> visited_;  // by storage index
    // Per node: unvisited points, lowest and highest unvisited storage index
    // (count and -1 when none is left).
    std::vector<int> unvisited_;
    std::vector<int> lowest_;
    std::vector<int> highest_;
};

}  // namespace tw
