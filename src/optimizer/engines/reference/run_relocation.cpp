// Relocation of runs: three points in the best of their six orders, and runs
// of k points forwards or reversed.
#include <array>

#include "optimizer/engines/reference/improvement_moves.h"
#include "optimizer/engines/triple_orders.h"

namespace tw {
namespace {

// The node `steps` links after `node`, or null when the path ends before.
PathNode* stepsAfter(PathNode* node, int steps) {
    for (int s = 0; s < steps && node != nullptr; ++s) node = node->next;
    return node;
}

}  // namespace

int relocateTriplesPass(PathList& list) {
    if (list.size() < kTripleMinPoints) return 0;
    int changed = 0;
    for (int index = 0; index < list.size(); ++index) {
        PathNode* a = list.nodeOf(index);
        // Nodes before A have more successors than A, so the search for A
        // gives up exactly when A itself lacks two successors.
        if (a->next == nullptr || a->next->next == nullptr) continue;
        PathNode* b = a->next;
        PathNode* c = b->next;
        PathNode* d = c->next;
        PathNode* p = a->previous;  // null: S
        double gain = list.distance(p, a) + list.distance(a, b) + list.distance(b, c);
        if (d != nullptr) gain = gain + list.distance(c, d) - list.distance(p, d);
        const TripleShapes shapes = shapeTriple(list, a, b, c);
        const Gap former = list.detachRun(a, c);

        double best = gain - kMoveMargin;
        int chosenOrder = -1;
        Gap chosen = former;
        PathNode* tail = forEachInnerGap(list, [&](PathNode* left, PathNode* u) {
            const Spot here = list.spotOf(u);
            const LeastOrder least = leastOrder(shapes, list.spotOf(left), &here);
            if (least.cost < best && !(u == d && least.order == kFormerOrder)) {
                best = least.cost;
                chosenOrder = least.order;
                chosen = Gap{left, u};
            }
        });
        if (tail != nullptr) {
            const LeastOrder least = leastOrder(shapes, list.spotOf(tail), nullptr);
            if (least.cost < best && !(tail == p && least.order == kFormerOrder)) {
                best = least.cost;
                chosenOrder = least.order;
                chosen = Gap{tail, nullptr};
            }
        }
        if (chosenOrder >= 0) {
            const auto ends = linkTriple(shapes, chosenOrder);
            list.insertRun(ends[0], ends[1], chosen);
            changed = 1;
        } else {
            const auto ends = linkTriple(shapes, kFormerOrder);
            list.insertRun(ends[0], ends[1], former);
        }
    }
    return changed;
}

int relocateSegmentsPass(PathList& list, int length) {
    if (length < 1) return 0;
    int changed = 0;
    for (int index = 0; index < list.size(); ++index) {
        PathNode* first = list.nodeOf(index);
        // As for triples: give up when the run would need more points than
        // follow its first point.
        PathNode* last = stepsAfter(first, length - 1);
        if (last == nullptr) continue;
        PathNode* p = first->previous;  // null: S
        PathNode* d = last->next;
        double gain = list.distance(p, first);
        if (d != nullptr) gain = gain + list.distance(last, d) - list.distance(p, d);
        const Spot firstSpot = list.spotOf(first);
        const Spot lastSpot = list.spotOf(last);
        const Gap former = list.detachRun(first, last);

        double best = kNoCost;
        bool chosenReversed = false;
        bool chosenAny = false;
        Gap chosen = former;
        auto consider = [&](double cost, bool reversed, Gap gap) {
            if (cost < best) {
                best = cost;
                chosenReversed = reversed;
                chosenAny = true;
                chosen = gap;
            }
        };
        PathNode* tail = forEachInnerGap(list, [&](PathNode* left, PathNode* u) {
            if (left == p) return;
            const Spot q = list.spotOf(left);
            const Spot here = list.spotOf(u);
            const double closed = spotDistance(q, here);
            consider(spotDistance(q, firstSpot) + spotDistance(lastSpot, here) - closed, false,
                     Gap{left, u});
            consider(spotDistance(q, lastSpot) + spotDistance(firstSpot, here) - closed, true,
                     Gap{left, u});
        });
        if (tail != nullptr && tail != p) {
            const Spot here = list.spotOf(tail);
            consider(spotDistance(here, firstSpot), false, Gap{tail, nullptr});
            consider(spotDistance(here, lastSpot), true, Gap{tail, nullptr});
        }
        if (chosenAny && gain - best > kMoveMargin) {
            if (chosenReversed) {
                PathList::reverseRun(first, last);
                list.insertRun(last, first, chosen);
            } else {
                list.insertRun(first, last, chosen);
            }
            changed = 1;
        } else {
            list.insertRun(first, last, former);
        }
    }
    return changed;
}

}  // namespace tw
