// The two-exchange pass and the single-point relocation pass.
#include "optimizer/engines/reference/improvement_moves.h"

namespace tw {
namespace {

bool hasThreeSuccessors(const PathNode* node) {
    return node->next != nullptr && node->next->next != nullptr &&
           node->next->next->next != nullptr;
}

}  // namespace

int twoExchangePass(PathList& list) {
    if (list.size() < kTwoExchangeMinPoints) return 0;
    int changed = 0;
    for (PathNode* a = list.head(); a != nullptr && hasThreeSuccessors(a); a = a->next) {
        PathNode* b = a->next;
        PathNode* c = b->next;
        PathNode* d = c->next;
        while (d != nullptr) {
            if (list.distance(a, b) + list.distance(c, d) - kMoveMargin >
                list.distance(a, c) + list.distance(b, d)) {
                const Gap gap = list.detachRun(b, c);
                PathList::reverseRun(b, c);
                list.insertRun(c, b, gap);
                changed = 1;
                b = a->next;
                c = b->next;
                d = c->next;
            } else {
                c = d;
                d = d->next;
            }
        }
    }
    return changed;
}

int relocatePointsPass(PathList& list) {
    double total = 0.0;
    for (int index = 0; index < list.size(); ++index) {
        PathNode* node = list.nodeOf(index);
        const PathNode* before = node->previous;  // null: S
        const PathNode* after = node->next;
        double gain;
        if (after != nullptr) {
            gain = list.distance(before, node) + list.distance(node, after) -
                   list.distance(before, after);
        } else {
            gain = list.distance(before, node);
        }
        const Gap former = list.detachRun(node, node);

        double best = gain;
        bool moved = false;
        Gap chosen = former;
        const Spot spot = list.spotOf(node);
        const auto consider = [&](double cost, Gap gap) {
            if (cost < best) {
                best = cost;
                chosen = gap;
                moved = true;
            }
        };
        PathNode* tail = forEachInnerGap(list, [&](PathNode* left, PathNode* u) {
            const Spot q = list.spotOf(left);
            const Spot here = list.spotOf(u);
            consider(spotDistance(q, spot) + spotDistance(spot, here) - spotDistance(q, here),
                     Gap{left, u});
        });
        if (tail != nullptr) consider(spotDistance(list.spotOf(tail), spot), Gap{tail, nullptr});
        list.insertRun(node, node, chosen);
        if (moved) total += gain - best;
    }
    return total > kMoveMargin ? 1 : 0;
}

}  // namespace tw
