// The fast engine's nearest-neighbour tours: the literal selection rules
// answered with a handful of tree searches per position instead of a scan.
//
// The plain tour takes the nearest unvisited point, the lowest storage index
// among equals: one nearest search.
//
// The directed tour's literal scan keeps a best distance B (9.9e30 at
// first) and, in storage order, lets a point j "reset" the choice when
// Reset(w_j, B) = !(|w_j - B| < tol) && w_j < B, which also sets B = w_j;
// a point with |w_j - B| < tol (a near-tie) takes the choice only when its
// alignment is strictly greater. Facts the search rests on:
// - Reset is monotone: it stays true for a smaller w and for a larger B.
// - Let m be the least distance and p its lowest storage index. After p no
//   reset happens: B >= m and fl(B - m) < tol once p is scanned, and
//   fl(B - w) <= fl(B - m) for every later w >= m.
// - Write chain(z) for the state (B, last reset) after scanning the
//   unvisited points below storage index z, and (m1, p1) for the nearest of
//   them. Then chain(z) = (m1, p1) when Reset(m1, chain(p1).B), else
//   chain(p1); and chain(p1).B >= m2, the least distance below p1, so
//   Reset(m1, m2) already settles it (as does having nothing below p1).
// So the scan's final state follows from the successive prefix minima
// (p1 > p2 > ..., each the nearest below the one before), which are needed
// only while neighbours lie within tol of each other; each is one nearest
// search restricted to lower storage indices and to that reach. After the
// last reset r only near-ties of B with storage index above r compete, by
// alignment and in storage order. Most positions need one search: the
// nearest point together with the few points within the tolerance of it.
// Chains as long as the set are possible (points stacked at tolerance
// spacing); such positions fall back to the literal scan.
#include <cmath>
#include <limits>
#include <vector>

#include "optimizer/engines/engine.h"
#include "optimizer/heuristics/nearest_tours.h"
#include "optimizer/engines/fast/tour_tree.h"

namespace tw {
namespace {

constexpr double kNoBound = std::numeric_limits<double>::infinity();
// A chain link (one bounded tree search) costs about as much as scanning 5
// to 20 points literally. A position whose chain passes kChainBase +
// count / kScanPerLink links (points stacked at tolerance spacing) is
// scanned literally instead, so it costs at most about 1.3 literal scans.
constexpr std::size_t kChainBase = 16;
constexpr std::size_t kScanPerLink = 64;

// The literal scan's reset test for a candidate at distance w against the
// best distance B.
bool resets(double w, double best) {
    return !(std::fabs(w - best) < kDirectedTieTolerance) && w < best;
}

// A distance beyond which no point can be a near-tie of `distance` nor stop
// a reset by it.
double tieReach(double distance) { return toleranceReach(distance, kDirectedTieTolerance); }

// Most positions have only a few points within the tolerance of the
// nearest; one search settles them. More than this many go the long way.
constexpr std::size_t kAroundCap = 32;

struct Walk {
    double x;
    double y;
    double moveX;
    double moveY;
};

class DirectedSelection {
public:
    DirectedSelection(const PathOptimizer& optimizer, const TourTree& tree)
        : optimizer_(optimizer), tree_(tree) {}

    int select(const Walk& walk) {
        const int quick = selectAround(walk);
        if (quick != kUnsettled) return quick;
        TourTree::Found last{0.0, -1};
        if (!findLastReset(walk, last)) return literalScan(walk);
        if (last.point < 0) return -1;
        // In storage order a near-tie replaces the choice only when strictly
        // better aligned, so the scan ends at the best alignment's lowest
        // storage index; the last reset has the lowest index of them all.
        const TourTree::AlignmentQuery query{.x = walk.x,
                                             .y = walk.y,
                                             .moveX = walk.moveX,
                                             .moveY = walk.moveY,
                                             .after = last.point,
                                             .distance = last.distance,
                                             .tolerance = kDirectedTieTolerance,
                                             .reach = tieReach(last.distance)};
        return tree_.bestAligned(query, {alignment(walk, last.point), last.point}).point;
    }

private:
    static constexpr int kUnsettled = -2;

    // The common case in one search: the nearest point and the points
    // around it. When none below its storage index blocks its reset, it is
    // the last reset, and every near-tie after it is among those around.
    // Returns kUnsettled otherwise.
    int selectAround(const Walk& walk) {
        TourTree::Found nearest{0.0, -1};
        if (!tree_.nearestAndAround(walk.x, walk.y, kDirectedTieTolerance, kAroundCap, nearest,
                                    around_)) {
            return kUnsettled;
        }
        if (nearest.point < 0) return -1;
        for (const TourTree::Found& other : around_) {
            if (other.point < nearest.point && !resets(nearest.distance, other.distance)) {
                return kUnsettled;
            }
        }
        int choice = nearest.point;
        double bestAlignment = alignment(walk, choice);
        for (const TourTree::Found& other : around_) {
            if (other.point <= nearest.point) continue;
            if (!(std::fabs(other.distance - nearest.distance) < kDirectedTieTolerance)) continue;
            const double candidate = alignment(walk, other.point);
            if (candidate > bestAlignment || (candidate == bestAlignment && other.point < choice)) {
                choice = other.point;
                bestAlignment = candidate;
            }
        }
        return choice;
    }

    // The literal expression, so that the bits match.
    double alignment(const Walk& walk, int point) const {
        const OptimizerPoint& p = optimizer_.points[static_cast<std::size_t>(point)];
        const double vx = p.x - walk.x;
        const double vy = p.y - walk.y;
        return vx * walk.moveX + vy * walk.moveY;
    }

    // The state after the whole literal scan: the last reset's point and
    // its distance, which is the final best distance. Returns false instead
    // when the chain of minima grows so long that one literal scan of the
    // position costs less (points stacked at tolerance spacing).
    bool findLastReset(const Walk& walk, TourTree::Found& state) {
        minima_.clear();
        const TourTree::Found minimum = tree_.nearest(walk.x, walk.y, optimizer_.count, kNoBound);
        state = minimum;
        if (minimum.point < 0) return true;
        minima_.push_back(minimum);
        const std::size_t longest =
            kChainBase + static_cast<std::size_t>(optimizer_.count) / kScanPerLink;
        for (;;) {
            if (minima_.size() > longest) return false;
            const TourTree::Found& above = minima_.back();
            const TourTree::Found below =
                tree_.nearest(walk.x, walk.y, above.point, tieReach(above.distance));
            if (below.point < 0 || resets(above.distance, below.distance)) break;
            minima_.push_back(below);
        }
        state = minima_.back();
        for (std::size_t i = minima_.size() - 1; i-- > 0;) {
            if (resets(minima_[i].distance, state.distance)) state = minima_[i];
        }
        return true;
    }

    // The literal selection, over the tree's visit marks.
    int literalScan(const Walk& walk) const {
        return directedSelection(optimizer_, walk.x, walk.y, walk.moveX, walk.moveY,
                                 [this](int j) { return tree_.visited(j); });
    }

    const PathOptimizer& optimizer_;
    const TourTree& tree_;
    std::vector<TourTree::Found> minima_;
    std::vector<TourTree::Found> around_;
};

}  // namespace

void fastTour(PathOptimizer& optimizer, TourKind kind) {
    TourTree tree(optimizer);
    DirectedSelection directed(optimizer, tree);
    Walk walk{optimizer.startPoint.x, optimizer.startPoint.y, 0.0, 0.0};
    for (int k = 0; k < optimizer.count; ++k) {
        const int choice = kind == TourKind::kPlain
                               ? tree.nearest(walk.x, walk.y, optimizer.count, kNoBound).point
                               : directed.select(walk);
        // Only when nothing is left, which the caller's coordinate check
        // rules out; the literal scan leaves the position as it is then.
        if (choice < 0) continue;
        const OptimizerPoint& point = optimizer.points[static_cast<std::size_t>(choice)];
        optimizer.order[static_cast<std::size_t>(k)] = choice;
        tree.visit(choice);
        walk.moveX = point.x - walk.x;
        walk.moveY = point.y - walk.y;
        walk.x = point.x;
        walk.y = point.y;
    }
}

}  // namespace tw
