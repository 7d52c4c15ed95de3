// The insertion tour, its two improvement passes and extendedB.
#include "optimizer/insertion_tours.h"

#include <new>
#include <utility>

#include "optimizer/improvement_moves.h"
#include "optimizer/improvement_rounds.h"

namespace tw {
namespace {

// Shortest segment the segment passes move; shorter runs are the triple
// and point passes' business.
constexpr int kShortestSegment = 2;

}  // namespace

void insertCheapest(PathList& list, int point) {
    PathNode* node = list.nodeOf(point);
    const Spot spot = list.spotOf(node);
    double best = kNoCost;
    bool found = false;
    Gap chosen{nullptr, nullptr};
    PathNode* left = nullptr;
    for (PathNode* u = list.head(); u != nullptr; left = u, u = u->next) {
        const Spot q = list.spotOf(left);
        const Spot here = list.spotOf(u);
        const double cost =
            spotDistance(q, spot) + spotDistance(spot, here) - spotDistance(q, here);
        if (cost < best) {
            best = cost;
            found = true;
            chosen = Gap{left, u};
        }
    }
    // `left` is the last node T. With coordinates in range some inner gap
    // always costs less than kNoCost; the end gap is the fallback anyway.
    if (left != nullptr && (!found || spotDistance(list.spotOf(left), spot) < best)) {
        chosen = Gap{left, nullptr};
    }
    list.insertRun(node, node, chosen);
}

namespace {

enum class PassKind { kFull, kShort };

int runInsertionTour(PathOptimizer& optimizer, int insertOn, PassKind passKind) {
    if (optimizer.classRecord == nullptr || optimizer.count <= 0) return 0;
    if (optimizer.hasStartPoint == 0 || !orderableCoordinates(optimizer)) return 0;
    try {
        PathList list(optimizer);
        std::vector<int> savedOrder = optimizer.order;
        computeLength(optimizer);
        const double oldLength = optimizer.length;
        if (insertOn != 0) {
            list.startWith(optimizer.order[0]);
            for (int k = 1; k < optimizer.count; ++k) insertCheapest(list, optimizer.order[k]);
        } else {
            list.linkInOrder(optimizer.order);
            relocatePointsPass(list);
        }
        runImprovementRounds(
            list, [&list, passKind] {
                return passKind == PassKind::kFull ? improvementPass(list)
                                                   : shortImprovementPass(list);
            },
            improvementPasses, kMaxImprovementRounds);
        if (list.writeBack(optimizer.order)) {
            computeLength(optimizer);
            if (optimizer.length < oldLength) return 1;
        }
        optimizer.order = std::move(savedOrder);
        optimizer.length = oldLength;
        return 0;
    } catch (const std::bad_alloc&) {
        return 0;
    }
}

}  // namespace

int shortImprovementPass(PathList& list) {
    int changed = 0;
    if (relocateTriplesPass(list) != 0) changed = 1;
    if (twoExchangePass(list) != 0) {
        changed = 1;
        // Its result does not count: the two-exchange already reported.
        relocateTriplesPass(list);
    }
    if (relocatePointsPass(list) != 0) changed = 1;
    return changed;
}

int improvementPass(PathList& list) {
    const int longest = segmentWindow < list.size() - 1 ? segmentWindow : list.size() - 1;
    int changed = 0;
    for (int length = longest; length >= kShortestSegment; --length) {
        if (relocateSegmentsPass(list, length) != 0) changed = 1;
    }
    if (shortImprovementPass(list) != 0) changed = 1;
    return changed;
}

int insertionTour(PathOptimizer& optimizer, int insertOn) {
    return runInsertionTour(optimizer, insertOn, PassKind::kFull);
}

int extendedB(PathOptimizer& optimizer) {
    return runInsertionTour(optimizer, 1, PassKind::kShort);
}

}  // namespace tw
