// The insertion tour, its two improvement passes and extendedB.
#include "optimizer/heuristics/insertion_tours.h"

#include "optimizer/heuristics/improvement_rounds.h"
#include "optimizer/heuristics/order_trial.h"

namespace tw {
namespace {

// Shortest segment the segment passes move; shorter runs are the triple
// and point passes' business.
constexpr int kShortestSegment = 2;

enum class PassKind { kFull, kShort };

int runInsertionTour(PathOptimizer& optimizer, int insertOn, PassKind passKind, int window) {
    if (!canReorder(optimizer)) return 0;
    return tryNewOrder(optimizer, KeepWhen::kShorter, [&] {
        const std::unique_ptr<PathEngine> path = makePathEngine(optimizer);
        if (insertOn != 0) {
            path->insertAll(optimizer.order);
        } else {
            path->linkInOrder(optimizer.order);
            path->relocatePointsPass();
        }
        runImprovementRounds(
            path->path(),
            [&path, passKind, window] {
                return passKind == PassKind::kFull ? improvementPass(*path, window)
                                                   : shortImprovementPass(*path);
            },
            improvementPasses, kMaxImprovementRounds);
        return path->path().writeBack(optimizer.order);
    });
}

}  // namespace

int shortImprovementPass(PathEngine& path) {
    int changed = 0;
    if (path.relocateTriplesPass() != 0) changed = 1;
    if (path.twoExchangePass() != 0) {
        changed = 1;
        // Its result does not count: the two-exchange already reported.
        path.relocateTriplesPass();
    }
    if (path.relocatePointsPass() != 0) changed = 1;
    return changed;
}

int improvementPass(PathEngine& path, int window) {
    const int pointsLeft = path.path().size() - 1;
    const int longest = window < pointsLeft ? window : pointsLeft;
    int changed = 0;
    for (int length = longest; length >= kShortestSegment; --length) {
        if (path.relocateSegmentsPass(length) != 0) changed = 1;
    }
    if (shortImprovementPass(path) != 0) changed = 1;
    return changed;
}

int insertionTour(PathOptimizer& optimizer, int insertOn, const Tuning& tuning) {
    return runInsertionTour(optimizer, insertOn, PassKind::kFull, tuning.segmentWindow);
}

int insertionTour(PathOptimizer& optimizer, int insertOn) {
    return insertionTour(optimizer, insertOn, currentTuning());
}

int extendedB(PathOptimizer& optimizer) {
    return runInsertionTour(optimizer, 1, PassKind::kShort, segmentWindow);
}

}  // namespace tw
