#include "optimizer/heuristics/crossing_removal.h"

#include "optimizer/engines/engine.h"
#include "optimizer/heuristics/improvement_rounds.h"
#include "optimizer/heuristics/order_trial.h"

namespace tw {

int removeCrossings(PathOptimizer& optimizer) {
    if (!canReorder(optimizer)) return 0;
    return tryNewOrder(optimizer, KeepWhen::kShorter, [&optimizer] {
        const std::unique_ptr<PathEngine> path = makePathEngine(optimizer);
        path->linkInOrder(optimizer.order);
        runImprovementRounds(
            path->path(),
            [&path] {
                const int exchanged = path->twoExchangePass();
                const int relocated = path->relocatePointsPass();
                return exchanged != 0 || relocated != 0 ? 1 : 0;
            },
            1, kMaxImprovementRounds);
        return path->path().writeBack(optimizer.order);
    });
}

}  // namespace tw
