#include "optimizer/crossing_removal.h"

#include <new>
#include <utility>

#include "optimizer/improvement_moves.h"
#include "optimizer/improvement_rounds.h"

namespace tw {

int removeCrossings(PathOptimizer& optimizer) {
    if (optimizer.classRecord == nullptr || optimizer.count <= 0) return 0;
    if (optimizer.hasStartPoint == 0 || !orderableCoordinates(optimizer)) return 0;
    try {
        computeLength(optimizer);
        const double oldLength = optimizer.length;
        std::vector<int> savedOrder = optimizer.order;
        PathList list(optimizer);
        list.linkInOrder(optimizer.order);
        runImprovementRounds(
            list, [&list] {
                const int exchanged = twoExchangePass(list);
                const int relocated = relocatePointsPass(list);
                return exchanged != 0 || relocated != 0 ? 1 : 0;
            },
            1, kMaxImprovementRounds);
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

}  // namespace tw
