// The fast engine's path passes. Each makes the literal pass's decisions in
// the literal order; instead of weighing every gap of the path it weighs only
// the gaps that an index search cannot rule out, and breaks ties between
// equally cheap gaps by path position, as the literal front-to-back scan
// does.
//
// Why skipping is safe: putting a point i into the gap (Q, U) of length l
// costs less than c only if d(Q,i) + d(i,U) < l + c, so one of Q and U lies
// within (l + c) / 2 of i. A run moved as a block, or any order of a triple,
// costs at least the cost of putting its representative point there minus
// how far its ends lie from that point, so the same search with a larger c
// finds every gap it can use. Radii carry a relative slack far above the
// rounding of the sums, so a gap left out provably fails the literal
// comparison.
#include <algorithm>
#include <cmath>

#include "optimizer/engine.h"
#include "optimizer/improvement_moves.h"
#include "optimizer/indexed_path.h"
#include "optimizer/triple_orders.h"

namespace tw {
namespace {

constexpr double kRelativeSlack = 1e-9;
constexpr double kAbsoluteSlack = 1e-300;

// The cheapest gap offered so far, with the literal scan's tie rule: of
// equal costs the one nearer the front wins, and at one gap the variant
// weighed first (forwards before reversed).
struct GapChoice {
    explicit GapChoice(double threshold) : cost(threshold) {}

    // Offers a gap; only strictly cheaper than the threshold counts.
    void offer(double offered, Gap at, std::uint64_t position, int variant) {
        const bool better = offered < cost || (found && offered == cost &&
                                               (position < this->position ||
                                                (position == this->position && variant < this->variant)));
        if (!better) return;
        cost = offered;
        gap = at;
        this->position = position;
        this->variant = variant;
        found = true;
    }

    double cost;
    bool found = false;
    Gap gap{nullptr, nullptr};
    std::uint64_t position = 0;
    int variant = 0;
};

bool hasThreeSuccessors(const PathNode* node) {
    return node->next != nullptr && node->next->next != nullptr && node->next->next->next != nullptr;
}

PathNode* stepsAfter(PathNode* node, int steps) {
    for (int s = 0; s < steps && node != nullptr; ++s) node = node->next;
    return node;
}

class FastPathEngine final : public PathEngine {
public:
    explicit FastPathEngine(const PathOptimizer& optimizer)
        : PathEngine(optimizer), index_(list_, optimizer) {
        // Both candidate searches of the two-exchange together name each
        // node at most twice.
        candidates_.reserve(2 * optimizer.points.size());
    }

    void linkInOrder(const std::vector<int>& order) override { index_.linkInOrder(order); }

    void insertAll(const std::vector<int>& order) override {
        index_.startWith(order[0]);
        for (std::size_t k = 1; k < order.size(); ++k) insertCheapest(order[k]);
    }

    int twoExchangePass() override;
    int relocatePointsPass() override;
    int relocateTriplesPass() override;
    int relocateSegmentsPass(int length) override;

private:
    // The gap after S, weighed by `weigh` (which offers it at position 0).
    // Then every other inner gap that a body at `p` could fill for less than
    // the choice's cost plus `extra`.
    template <class Weigh>
    void searchGaps(Spot p, double extra, GapChoice& choice, Weigh&& weigh);

    // searchGaps for a single point at `spot`, weighing each gap as the
    // literal insertion and relocation do.
    void searchPointGaps(Spot spot, GapChoice& choice);
    // The position a gap is compared by: the gap after S comes first.
    std::uint64_t positionOf(Gap gap) const { return gap.left == nullptr ? 0 : index_.position(gap.right); }

    void insertCheapest(int point);
    PathNode* firstExchange(PathNode* a);

    IndexedPath index_;
    std::vector<PathNode*> candidates_;
};

template <class Weigh>
void FastPathEngine::searchGaps(Spot p, double extra, GapChoice& choice, Weigh&& weigh) {
    PathNode* head = list_.head();
    if (head == nullptr) return;
    weigh(Gap{nullptr, head});
    index_.newSearch();
    const auto reach = [&choice, extra](double edge) {
        const double cost = choice.cost + extra;
        return (edge + (cost > 0.0 ? cost : 0.0)) * 0.5 * (1.0 + kRelativeSlack) + kAbsoluteSlack;
    };
    index_.forNodesWithin(p, reach, [&](PathNode* x) {
        if (x->previous != nullptr && index_.firstVisit(x)) weigh(Gap{x->previous, x});
        if (x->next != nullptr && index_.firstVisit(x->next)) weigh(Gap{x, x->next});
    });
}

void FastPathEngine::searchPointGaps(Spot spot, GapChoice& choice) {
    searchGaps(spot, 0.0, choice, [&](Gap gap) {
        const Spot q = list_.spotOf(gap.left);
        const Spot here = list_.spotOf(gap.right);
        const double cost = spotDistance(q, spot) + spotDistance(spot, here) - spotDistance(q, here);
        choice.offer(cost, gap, positionOf(gap), 0);
    });
}

void FastPathEngine::insertCheapest(int point) {
    PathNode* node = list_.nodeOf(point);
    const Spot spot = list_.spotOf(node);
    GapChoice choice(kNoCost);
    searchPointGaps(spot, choice);
    Gap chosen = choice.gap;
    PathNode* tail = index_.tail();
    if (tail != nullptr && (!choice.found || spotDistance(list_.spotOf(tail), spot) < choice.cost)) {
        chosen = Gap{tail, nullptr};
    }
    index_.insertRun(node, node, chosen);
}

// The first c after a->next, in path order, for which reversing a->next .. c
// passes the literal test. It can pass only if d(a,c) < d(a,b) or
// d(b,d) < d(c,d) (rounded sums are monotonic), so those are the candidates.
PathNode* FastPathEngine::firstExchange(PathNode* a) {
    PathNode* b = a->next;
    const Spot aSpot = list_.spotOf(a);
    const Spot bSpot = list_.spotOf(b);
    const double ab = list_.distance(a, b);
    const std::uint64_t bPosition = index_.position(b);
    candidates_.clear();
    const auto keep = [&](PathNode* c) {
        if (c->next != nullptr && index_.position(c) > bPosition) candidates_.push_back(c);
    };
    index_.forNodesWithin(aSpot, [ab](double) { return ab; }, [&](PathNode* x) {
        if (list_.distance(a, x) < ab) keep(x);
    });
    index_.forNodesWithin(bSpot, [](double edge) { return edge; }, [&](PathNode* x) {
        if (x->previous != nullptr && list_.distance(b, x) < list_.distance(x->previous, x)) {
            keep(x->previous);
        }
    });
    std::sort(candidates_.begin(), candidates_.end(), [this](const PathNode* x, const PathNode* y) {
        return index_.position(x) < index_.position(y);
    });
    for (std::size_t k = 0; k < candidates_.size(); ++k) {
        PathNode* c = candidates_[k];
        if (k > 0 && c == candidates_[k - 1]) continue;
        PathNode* d = c->next;
        if (list_.distance(a, b) + list_.distance(c, d) - kMoveMargin >
            list_.distance(a, c) + list_.distance(b, d)) {
            return c;
        }
    }
    return nullptr;
}

int FastPathEngine::twoExchangePass() {
    if (list_.size() < kTwoExchangeMinPoints) return 0;
    int changed = 0;
    for (PathNode* a = list_.head(); a != nullptr && hasThreeSuccessors(a); a = a->next) {
        while (PathNode* c = firstExchange(a)) {
            index_.reverseRun(a->next, c);
            changed = 1;
        }
    }
    return changed;
}

int FastPathEngine::relocatePointsPass() {
    double total = 0.0;
    for (int index = 0; index < list_.size(); ++index) {
        PathNode* node = list_.nodeOf(index);
        const PathNode* before = node->previous;
        const PathNode* after = node->next;
        double gain;
        if (after != nullptr) {
            gain = list_.distance(before, node) + list_.distance(node, after) -
                   list_.distance(before, after);
        } else {
            gain = list_.distance(before, node);
        }
        const Gap former = index_.detachRun(node, node);
        const Spot spot = list_.spotOf(node);
        GapChoice choice(gain);
        searchPointGaps(spot, choice);
        PathNode* tail = index_.tail();
        if (tail != nullptr) {
            const double endCost = spotDistance(list_.spotOf(tail), spot);
            if (endCost < choice.cost) {
                choice.cost = endCost;
                choice.gap = Gap{tail, nullptr};
                choice.found = true;
            }
        }
        index_.insertRun(node, node, choice.found ? choice.gap : former);
        if (choice.found) total += gain - choice.cost;
    }
    return total > kMoveMargin ? 1 : 0;
}

int FastPathEngine::relocateTriplesPass() {
    if (list_.size() < kTripleMinPoints) return 0;
    int changed = 0;
    for (int index = 0; index < list_.size(); ++index) {
        PathNode* a = list_.nodeOf(index);
        if (a->next == nullptr || a->next->next == nullptr) continue;
        PathNode* b = a->next;
        PathNode* c = b->next;
        PathNode* d = c->next;
        PathNode* p = a->previous;
        double gain = list_.distance(p, a) + list_.distance(a, b) + list_.distance(b, c);
        if (d != nullptr) gain = gain + list_.distance(c, d) - list_.distance(p, d);
        const TripleShapes shapes = shapeTriple(list_, a, b, c);
        const Gap former = index_.detachRun(a, c);

        // Any order costs at least the cost of putting A alone into the gap
        // plus the least of inner - d(A, first) - d(A, last).
        const Spot aSpot = shapes.spots[0];
        double least = kNoCost;
        double innerMost = 0.0;
        for (std::size_t r = 0; r < kTripleOrders.size(); ++r) {
            const TripleOrder& order = kTripleOrders[r];
            const double margin = shapes.inner[r] - spotDistance(aSpot, shapes.spots[order.first]) -
                                  spotDistance(aSpot, shapes.spots[order.last]);
            least = std::min(least, margin);
            innerMost = std::max(innerMost, shapes.inner[r]);
        }
        const double threshold = gain - kMoveMargin;
        const double reachOut = std::max(spotDistance(aSpot, shapes.spots[1]), spotDistance(aSpot, shapes.spots[2]));
        const double slack = kRelativeSlack * (std::fabs(threshold) + innerMost + 2.0 * reachOut +
                                               std::max(index_.longestEdge(), 0.0)) +
                             kAbsoluteSlack;

        GapChoice choice(threshold);
        searchGaps(aSpot, slack - least, choice, [&](Gap gap) {
            const Spot here = list_.spotOf(gap.right);
            const LeastOrder best = leastOrder(shapes, list_.spotOf(gap.left), &here);
            if (gap.right == d && best.order == kFormerOrder) return;
            choice.offer(best.cost, gap, positionOf(gap), best.order);
        });
        int chosenOrder = choice.found ? choice.variant : -1;
        Gap chosen = choice.gap;
        PathNode* tail = index_.tail();
        if (tail != nullptr) {
            const LeastOrder best = leastOrder(shapes, list_.spotOf(tail), nullptr);
            if (best.cost < choice.cost && !(tail == p && best.order == kFormerOrder)) {
                chosenOrder = best.order;
                chosen = Gap{tail, nullptr};
            }
        }
        if (chosenOrder >= 0) {
            const auto ends = linkTriple(shapes, chosenOrder);
            index_.insertRun(ends[0], ends[1], chosen);
            changed = 1;
        } else {
            const auto ends = linkTriple(shapes, kFormerOrder);
            index_.insertRun(ends[0], ends[1], former);
        }
    }
    return changed;
}

int FastPathEngine::relocateSegmentsPass(int length) {
    if (length < 1) return 0;
    int changed = 0;
    for (int index = 0; index < list_.size(); ++index) {
        PathNode* first = list_.nodeOf(index);
        PathNode* last = stepsAfter(first, length - 1);
        if (last == nullptr) continue;
        PathNode* p = first->previous;
        PathNode* d = last->next;
        double gain = list_.distance(p, first);
        if (d != nullptr) gain = gain + list_.distance(last, d) - list_.distance(p, d);
        const Spot firstSpot = list_.spotOf(first);
        const Spot lastSpot = list_.spotOf(last);
        const Gap former = index_.detachRun(first, last);

        // Only a gap cheaper than the gain can make the move; either
        // direction costs at least F's own cost minus d(F, L).
        const double span = spotDistance(firstSpot, lastSpot);
        const double slack = kRelativeSlack * (std::fabs(gain) + 2.0 * span +
                                               std::max(index_.longestEdge(), 0.0)) +
                             kAbsoluteSlack;
        GapChoice choice(gain);
        searchGaps(firstSpot, span + slack, choice, [&](Gap gap) {
            if (gap.left == p) return;
            const Spot q = list_.spotOf(gap.left);
            const Spot here = list_.spotOf(gap.right);
            const double closed = spotDistance(q, here);
            const std::uint64_t position = positionOf(gap);
            choice.offer(spotDistance(q, firstSpot) + spotDistance(lastSpot, here) - closed, gap, position, 0);
            choice.offer(spotDistance(q, lastSpot) + spotDistance(firstSpot, here) - closed, gap, position, 1);
        });
        bool reversed = choice.variant == 1;
        Gap chosen = choice.gap;
        bool chosenAny = choice.found;
        double best = choice.cost;
        PathNode* tail = index_.tail();
        if (tail != nullptr && tail != p) {
            const Spot here = list_.spotOf(tail);
            const double forwards = spotDistance(here, firstSpot);
            if (forwards < best) {
                best = forwards;
                reversed = false;
                chosen = Gap{tail, nullptr};
                chosenAny = true;
            }
            const double backwards = spotDistance(here, lastSpot);
            if (backwards < best) {
                best = backwards;
                reversed = true;
                chosen = Gap{tail, nullptr};
                chosenAny = true;
            }
        }
        if (chosenAny && gain - best > kMoveMargin) {
            if (reversed) {
                PathList::reverseRun(first, last);
                index_.insertRun(last, first, chosen);
            } else {
                index_.insertRun(first, last, chosen);
            }
            changed = 1;
        } else {
            index_.insertRun(first, last, former);
        }
    }
    return changed;
}

}  // namespace

std::unique_ptr<PathEngine> makeFastPathEngine(const PathOptimizer& optimizer) {
    return std::make_unique<FastPathEngine>(optimizer);
}

}  // namespace tw
