#include "optimizer/near_optimal/near_optimal.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <new>
#include <type_traits>
#include <vector>

#include "optimizer/near_optimal/construction.h"
#include "optimizer/near_optimal/kicks.h"
#include "optimizer/near_optimal/neighbours.h"
#include "optimizer/near_optimal/nodes.h"
#include "optimizer/near_optimal/search.h"
#include "optimizer/near_optimal/tour.h"
#include "optimizer/near_optimal/two_level_tour.h"
#include "optimizer/near_optimal/search_effort.h"

namespace tw {

nearopt::PhaseHook nearopt::phaseHook = nullptr;
std::uint64_t nearopt::kickSequence = 0;

namespace {

void phaseEnded(nearopt::Phase phase) {
    if (nearopt::phaseHook != nullptr) nearopt::phaseHook(phase);
}

using nearopt::ArrayTour;
using nearopt::CandidateLists;
using nearopt::LocalSearch;
using nearopt::TwoLevelTour;
using nearopt::NodeSet;

// Positions each position's chains may join to: the nearest ones, and the
// nearest few in each quadrant.
constexpr int kNearestCandidates = 5;
constexpr int kQuadrantCandidates = 5;
// Least gain of a chain, relative to the extent of the set: far above the
// rounding of a few distance sums, far below any gain that matters.
constexpr double kRelativeTolerance = 1e-10;
// Work of the first local search per distinct position. Real searches
// stay far below it; it only guarantees an end when rounding lets gains go
// round in a circle.
constexpr long long kFirstSearchWorkPerPosition = 20000;

// Storage indices grouped by position; groups in (x, y) order, members in
// index order.
struct Positions {
    NodeSet nodes;
    std::vector<int> firstMember;  // group -> first entry of `members`; groups + 1
    std::vector<int> members;
};

Positions distinctPositions(const PathOptimizer& optimizer) {
    const auto& points = optimizer.points;
    std::vector<int> sorted(static_cast<std::size_t>(optimizer.count));
    for (int i = 0; i < optimizer.count; ++i) sorted[static_cast<std::size_t>(i)] = i;
    std::sort(sorted.begin(), sorted.end(), [&](int a, int b) {
        const OptimizerPoint& p = points[static_cast<std::size_t>(a)];
        const OptimizerPoint& q = points[static_cast<std::size_t>(b)];
        if (p.x != q.x) return p.x < q.x;
        if (p.y != q.y) return p.y < q.y;
        return a < b;
    });
    Positions positions;
    positions.members = sorted;
    for (std::size_t k = 0; k < sorted.size(); ++k) {
        const OptimizerPoint& p = points[static_cast<std::size_t>(sorted[k])];
        if (k > 0) {
            const OptimizerPoint& q = points[static_cast<std::size_t>(sorted[k - 1])];
            if (p.x == q.x && p.y == q.y) continue;
        }
        positions.firstMember.push_back(static_cast<int>(k));
        positions.nodes.x.push_back(p.x);
        positions.nodes.y.push_back(p.y);
    }
    positions.firstMember.push_back(static_cast<int>(sorted.size()));
    const int groups = static_cast<int>(positions.nodes.x.size());
    positions.nodes.x.push_back(optimizer.startPoint.x);
    positions.nodes.y.push_back(optimizer.startPoint.y);
    positions.nodes.startNode = groups;
    positions.nodes.endNode = groups + 1;
    return positions;
}

double extent(const NodeSet& nodes) {
    const auto [minX, maxX] = std::minmax_element(nodes.x.begin(), nodes.x.end());
    const auto [minY, maxY] = std::minmax_element(nodes.y.begin(), nodes.y.end());
    return std::max(*maxX - *minX, *maxY - *minY);
}

// From this many nodes on the search runs on the two-level list: its
// reversals cost about sqrt(n) instead of the 200 to 300 nodes an array
// exchange moves on average, and the kicks' work goes about five times as
// far. Below, the array's cheaper neighbour look-ups win, and on some
// instances of a few thousand points the other trajectory ends worse.
constexpr int kTwoLevelNodes = 10000;

// The curve's symmetries in the order the attempts take them: the plain
// curve, the turned ones, then the mirrored ones.
constexpr int kAttemptSymmetries[nearopt::kCurveSymmetries] = {0, 3, 5, 6, 1, 2, 4, 7};
static_assert(nearopt::kAttempts <= nearopt::kCurveSymmetries, "one symmetry per attempt");

// The first tour of one attempt: the start node, the nodes along the curve
// laid in `symmetry`, the free end.
std::vector<int> curveTour(const NodeSet& nodes, int symmetry) {
    std::vector<int> initial;
    initial.reserve(static_cast<std::size_t>(nodes.nodeCount()));
    initial.push_back(nodes.startNode);
    for (int node : nearopt::hilbertOrder(nodes, symmetry)) initial.push_back(node);
    initial.push_back(nodes.endNode);
    return initial;
}

// Whether the first search from the curve also starts chains the other way
// (LocalSearch::tryOtherFirstSteps). On the array tour it gives better first
// tours; on the two-level tour (from 10,000 positions) it was no better
// over the large drilling sets and pla85900, so there it stays off.
template <class Tour>
constexpr bool kOtherFirstStepsInFirstSearch = std::is_same_v<Tour, ArrayTour>;

// One search from one first tour: the tour, the local search on it and its
// kicks. Neither copied nor moved: the search and the kicks hold the tour.
template <class Tour>
struct Attempt {
    Attempt(const NodeSet& nodes, const CandidateLists& candidates, const std::vector<int>& initial, double tolerance,
            std::uint64_t seed)
        : tour(initial), search(nodes, candidates, tour, tolerance), kicks(nodes, tour, search, seed) {}
    Attempt(const Attempt&) = delete;
    Attempt& operator=(const Attempt&) = delete;

    Tour tour;
    LocalSearch<Tour> search;
    nearopt::Kicks<Tour> kicks;
};

// The tour's length, summed from the start node forward.
template <class Tour>
double tourLength(const NodeSet& nodes, const Tour& tour) {
    double length = 0.0;
    int node = nodes.startNode;
    for (int k = 0; k < tour.size(); ++k) {
        const int following = tour.next(node);
        length += nodes.distance(node, following);
        node = following;
    }
    return length;
}

// The positions in path order, searched from the start node.
//
// On small contours several attempts start from the curve laid in different
// symmetries (planKicks). On boards of rows and blocks the first tour fixes
// the coarse shape of the path: which block comes first, how a double row is
// threaded, where the path ends. Kicks repair locally and seldom change it,
// so a different first tour buys more there than more kicks. Each attempt
// kicks for a trial; the shortest (the earliest of equals) goes on.
template <class Tour>
std::vector<int> searchedPositions(NodeSet& nodes, int effort) {
    const int groups = nodes.startNode;
    const CandidateLists candidates(nodes, kNearestCandidates, kQuadrantCandidates);
    const double tolerance = kRelativeTolerance * extent(nodes);
    const std::uint64_t seed = nearopt::kKickSeed + nearopt::kickSequence;
    const nearopt::KickPlan plan = nearopt::planKicks(groups, effort, std::is_same_v<Tour, TwoLevelTour>);
    phaseEnded(nearopt::Phase::kSetUp);

    std::unique_ptr<Attempt<Tour>> best;
    double bestLength = 0.0;
    for (int a = 0; a < plan.attempts; ++a) {
        auto attempt = std::make_unique<Attempt<Tour>>(nodes, candidates, curveTour(nodes, kAttemptSymmetries[a]),
                                                       tolerance, seed);
        attempt->search.pushAll();
        attempt->search.tryOtherFirstSteps(kOtherFirstStepsInFirstSearch<Tour>);
        attempt->search.run(kFirstSearchWorkPerPosition * groups, false);
        phaseEnded(nearopt::Phase::kLocalSearch);
        // After the first search the longer insertions join the repairs, and
        // the other first steps leave them.
        attempt->search.tryInsertions(true);
        attempt->search.tryOtherFirstSteps(false);
        if (plan.attempts == 1) {
            best = std::move(attempt);
            break;
        }
        attempt->kicks.run(attempt->search.work() + plan.trial);
        phaseEnded(nearopt::Phase::kKicks);
        const double length = tourLength(nodes, attempt->tour);
        if (best == nullptr || length < bestLength) {
            best = std::move(attempt);
            bestLength = length;
        }
    }
    best->kicks.run(best->search.work() + plan.rest);
    phaseEnded(nearopt::Phase::kKicks);

    // Read the tour from the start node away from the free end.
    const Tour& tour = best->tour;
    std::vector<int> path;
    path.reserve(static_cast<std::size_t>(groups));
    const bool forward = tour.next(nodes.startNode) != nodes.endNode;
    int node = nodes.startNode;
    for (int k = 0; k < groups; ++k) {
        node = forward ? tour.next(node) : tour.previous(node);
        path.push_back(node);
    }
    return path;
}

std::vector<int> searchedPositions(NodeSet& nodes, int effort) {
    if (nodes.startNode < 2) return nearopt::hilbertOrder(nodes);
    nodes.cache = nearopt::DistanceCache(nodes.nodeCount());
    if (nodes.nodeCount() >= kTwoLevelNodes) return searchedPositions<TwoLevelTour>(nodes, effort);
    return searchedPositions<ArrayTour>(nodes, effort);
}

}  // namespace

void nearOptimalPath(PathOptimizer& optimizer) {
    if (optimizer.count < 2 || optimizer.hasStartPoint == 0 || !orderableCoordinates(optimizer)) return;
    try {
        Positions positions = distinctPositions(optimizer);
        const int effort = std::clamp(searchEffort, kMinSearchEffort, kMaxSearchEffort);
        std::vector<int> order;
        order.reserve(static_cast<std::size_t>(optimizer.count));
        for (int group : searchedPositions(positions.nodes, effort)) {
            for (int k = positions.firstMember[static_cast<std::size_t>(group)];
                 k < positions.firstMember[static_cast<std::size_t>(group) + 1]; ++k)
                order.push_back(positions.members[static_cast<std::size_t>(k)]);
        }
        computeLength(optimizer);
        const double before = optimizer.length;
        std::vector<int> previous = std::move(optimizer.order);
        optimizer.order = std::move(order);
        computeLength(optimizer);
        if (optimizer.length > before) {
            optimizer.order = std::move(previous);
            computeLength(optimizer);
        }
    } catch (const std::bad_alloc&) {
        // Working memory is short: the order stays as it was.
    }
}

}  // namespace tw
