// Relocation of runs: three points in the best of their six orders, and runs
// of k points forwards or reversed.
#include <array>

#include "optimizer/improvement_moves.h"

namespace tw {
namespace {

// The triple pass leaves shorter paths alone.
constexpr int kTripleMinPoints = 4;

// One of the six orders of a triple A, B, C: indices into {A, B, C}.
struct TripleOrder {
    int first;
    int middle;
    int last;
};

// In this sequence; a lower number wins a tie.
constexpr std::array<TripleOrder, 6> kTripleOrders{{
    {0, 1, 2},  // A B C: the order the triple had
    {0, 2, 1},  // A C B
    {1, 0, 2},  // B A C
    {1, 2, 0},  // B C A
    {2, 0, 1},  // C A B
    {2, 1, 0},  // C B A
}};

constexpr int kFormerOrder = 0;

// The end nodes and inner length of every order of one triple.
struct TripleShapes {
    std::array<PathNode*, 3> nodes;
    std::array<Spot, 3> spots;
    std::array<double, 6> inner;
};

TripleShapes shapeTriple(const PathList& list, PathNode* a, PathNode* b, PathNode* c) {
    TripleShapes shapes{{a, b, c}, {list.spotOf(a), list.spotOf(b), list.spotOf(c)}, {}};
    for (std::size_t r = 0; r < kTripleOrders.size(); ++r) {
        const TripleOrder& order = kTripleOrders[r];
        shapes.inner[r] = spotDistance(shapes.spots[order.first], shapes.spots[order.middle]) +
                          spotDistance(shapes.spots[order.middle], shapes.spots[order.last]);
    }
    return shapes;
}

struct LeastOrder {
    int order;
    double cost;
};

// The cheapest order for the gap between `q` and `u` (u null: end gap),
// compared strictly in sequence.
LeastOrder leastOrder(const TripleShapes& shapes, Spot q, const Spot* u) {
    LeastOrder least{-1, 0.0};
    const double closed = u != nullptr ? spotDistance(q, *u) : 0.0;
    for (std::size_t r = 0; r < kTripleOrders.size(); ++r) {
        const TripleOrder& order = kTripleOrders[r];
        double cost = spotDistance(q, shapes.spots[order.first]) + shapes.inner[r];
        if (u != nullptr) cost = cost + spotDistance(shapes.spots[order.last], *u) - closed;
        if (least.order < 0 || cost < least.cost) least = LeastOrder{static_cast<int>(r), cost};
    }
    return least;
}

// Links the detached triple in order `r` and returns its ends.
std::array<PathNode*, 2> linkTriple(const TripleShapes& shapes, int r) {
    const TripleOrder& order = kTripleOrders[static_cast<std::size_t>(r)];
    PathNode* first = shapes.nodes[static_cast<std::size_t>(order.first)];
    PathNode* middle = shapes.nodes[static_cast<std::size_t>(order.middle)];
    PathNode* last = shapes.nodes[static_cast<std::size_t>(order.last)];
    first->previous = nullptr;
    first->next = middle;
    middle->previous = first;
    middle->next = last;
    last->previous = middle;
    last->next = nullptr;
    return {first, last};
}

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
