// The reference engine: the literal passes over a PathList, scanning every
// gap from the head of the path.
#include "optimizer/engines/engine.h"
#include "optimizer/engines/reference/improvement_moves.h"

namespace tw {

void insertCheapest(PathList& list, int point) {
    PathNode* node = list.nodeOf(point);
    const Spot spot = list.spotOf(node);
    double best = kNoCost;
    bool found = false;
    Gap chosen{nullptr, nullptr};
    PathNode* tail = forEachInnerGap(list, [&](PathNode* left, PathNode* u) {
        const Spot q = list.spotOf(left);
        const Spot here = list.spotOf(u);
        const double cost = spotDistance(q, spot) + spotDistance(spot, here) - spotDistance(q, here);
        if (cost < best) {
            best = cost;
            found = true;
            chosen = Gap{left, u};
        }
    });
    // With coordinates in range some inner gap always costs less than
    // kNoCost; the end gap is the fallback anyway.
    if (tail != nullptr && (!found || spotDistance(list.spotOf(tail), spot) < best)) {
        chosen = Gap{tail, nullptr};
    }
    list.insertRun(node, node, chosen);
}

namespace {

class ReferencePathEngine final : public PathEngine {
public:
    explicit ReferencePathEngine(const PathOptimizer& optimizer) : PathEngine(optimizer) {}

    void linkInOrder(const std::vector<int>& order) override { list_.linkInOrder(order); }
    void insertAll(const std::vector<int>& order) override {
        list_.startWith(order[0]);
        for (std::size_t k = 1; k < order.size(); ++k) insertCheapest(list_, order[k]);
    }
    int twoExchangePass() override { return tw::twoExchangePass(list_); }
    int relocatePointsPass() override { return tw::relocatePointsPass(list_); }
    int relocateTriplesPass() override { return tw::relocateTriplesPass(list_); }
    int relocateSegmentsPass(int length) override { return tw::relocateSegmentsPass(list_, length); }
};

}  // namespace

std::unique_ptr<PathEngine> makeReferencePathEngine(const PathOptimizer& optimizer) {
    return std::make_unique<ReferencePathEngine>(optimizer);
}

}  // namespace tw
