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
//
// Why a later round may look only at what changed: a pass remembers, per
// point, the moment its last search came out empty (no exchange at it, no
// cheaper gap for it). A literal test weighs only fixed points, so one that
// failed then fails again as long as the same nodes stand linked in the same
// order. Until the point itself changes, its next search therefore needs to
// weigh only the edges and gaps with a changed end, which the path's change
// stamps find.
#include <algorithm>
#include <array>
#include <cmath>
#include <memory>

#include "optimizer/engines/engine.h"
#include "optimizer/engines/reference/improvement_moves.h"
#include "optimizer/engines/fast/indexed_path.h"
#include "optimizer/engines/fast/run_memory.h"
#include "optimizer/engines/triple_orders.h"
#include "optimizer/spatial/shared_point_tree.h"

namespace tw {
namespace {

constexpr double kRelativeSlack = 1e-9;
constexpr double kAbsoluteSlack = 1e-300;
// Far above how far two sums of the same few distances, taken in other
// orders, can round apart (relative to the sum of their sizes), and far
// below kRelativeSlack, by which every gap a search leaves out misses.
constexpr double kTurnSlack = 1e-13;

// How far from a body's point a search looks for a node whose longest edge
// is `edge`, when it wants gaps cheaper than `cost`.
double searchRadius(double edge, double cost) {
    return (edge + (cost > 0.0 ? cost : 0.0)) * 0.5 * (1.0 + kRelativeSlack) + kAbsoluteSlack;
}

// The cheapest gap offered so far, with the literal scan's tie rule: of
// equal costs the one nearer the front wins, and at one gap the variant
// weighed first (forwards before reversed).
struct GapChoice {
    explicit GapChoice(double threshold) : cost(threshold) {}

    // True when a cost no less than `floor` cannot be offered: `floor` is
    // the same sum as the cost, taken in the same order from lower bounds of
    // its distances, and rounding is monotonic, so the cost is at least it.
    bool rulesOut(double floor) const { return floor > cost; }

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

// How many storage indices ahead a pass through them asks for the data it
// will read: the points lie all over memory.
constexpr int kPrefetchAhead = 8;

PathNode* stepsAfter(PathNode* node, int steps) {
    for (int s = 0; s < steps && node != nullptr; ++s) node = node->next;
    return node;
}

// The points in the order of the point tree's members, where the points of
// a leaf, and of every subtree, stand side by side. Laid out so, the nodes a
// search reads share few cache lines; on a set given in no order of place (a
// million random points) it would otherwise miss the cache at nearly every
// node.
std::vector<int> layoutByPlace(const PathOptimizer& optimizer) {
    const std::shared_ptr<const PointTree> tree = pointTreeFor(optimizer);
    if (tree->nodeCount() == 0) return {};
    std::vector<int> layout(optimizer.points.size());
    for (std::size_t k = 0; k < layout.size(); ++k) layout[k] = tree->memberPoint(static_cast<int>(k));
    return layout;
}

class FastPathEngine final : public PathEngine {
public:
    explicit FastPathEngine(const PathOptimizer& optimizer)
        : PathEngine(optimizer, layoutByPlace(optimizer)), index_(list_, optimizer) {
        // Both candidate searches of the two-exchange together name each
        // node at most twice.
        candidates_.reserve(2 * optimizer.points.size());
        const std::size_t count = optimizer.points.size();
        exchangeSettled_.assign(count, 0);
        relocationSettled_.assign(count, 0);
        tripleSettled_.assign(count, 0);
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
    // Then every other inner gap that a body at the spot of `around` could
    // fill for less than the choice's cost plus `extra`.
    // Only gaps with an end changed in the given way after relinking `since`
    // are weighed (0: every gap).
    // `head` names the gap after S (null: the path has no gaps).
    template <class Weigh>
    void searchGaps(PathNode* head, const PathNode* around, double extra, std::uint64_t since,
                    IndexedPath::Change change, GapChoice& choice, Weigh&& weigh);

    // searchGaps for a single point at `spot`, weighing each gap as the
    // literal insertion and relocation do.
    // `node` is the point's node, which may still be in the path.
    void searchPointGaps(Spot spot, std::uint64_t since, const PathNode* node, GapChoice& choice);
    // In a pass through the storage indices, at `index`: asks for the
    // node, position and cached edges of the point kPrefetchAhead * 2
    // indices on, and for its path neighbours' positions kPrefetchAhead on
    // (that node having arrived by then).
    void prefetchAhead(int index) const {
        if (index + 2 * kPrefetchAhead < list_.size()) index_.prefetch(index + 2 * kPrefetchAhead);
        if (index + kPrefetchAhead < list_.size()) list_.prefetchNeighbours(index + kPrefetchAhead);
    }
    // `at`, the moment the last search for `node` came out empty, when
    // nothing of `node` changed since; else 0.
    std::uint64_t settledSince(std::uint64_t at, const PathNode* node, IndexedPath::Change change) const {
        return at != 0 && index_.changedAt(node, change) <= at ? at : 0;
    }
    // `at` when no node of the run first..last changed after it; else 0.
    std::uint64_t unchangedSince(std::uint64_t at, const PathNode* first, const PathNode* last) const {
        if (at == 0) return 0;
        for (const PathNode* node = first;; node = node->next) {
            if (index_.changedAt(node) > at) return 0;
            if (node == last) return at;
        }
    }
    // Where the segment pass of `length` remembers its runs, or null for
    // lengths it does not remember; made at its first use.
    RunMemory* segmentMemory(int length) {
        if (length < kShortestRemembered || length >= kShortestRemembered + kRememberedSegmentLengths) return nullptr;
        RunMemory& memory = segmentMemories_[static_cast<std::size_t>(length - kShortestRemembered)];
        if (memory.empty()) memory = RunMemory(exchangeSettled_.size(), length);
        return &memory;
    }
    // A gap at either end of the run first..last while the run is still in
    // the path: not a gap of the path without the run.
    static bool besideRun(Gap gap, const PathNode* first, const PathNode* last) {
        return gap.right == first || gap.left == last;
    }
    // A gap of the path with an end in the run first..last (in the path).
    bool touchesRun(Gap gap, const PathNode* first, const PathNode* last) const {
        const std::uint64_t from = index_.position(first);
        const std::uint64_t to = index_.position(last);
        const auto inside = [&](const PathNode* node) {
            return node != nullptr && index_.position(node) >= from && index_.position(node) <= to;
        };
        return inside(gap.left) || inside(gap.right);
    }
    // The last node of the path once the run ending at `last`, preceded by
    // `before`, is taken out (the run may be out already).
    PathNode* tailWithout(const PathNode* last, PathNode* before) const {
        return index_.tail() == last ? before : index_.tail();
    }
    // d(left, right) for neighbours left-right of the path (left null: S),
    // from the cached edge where there is one: the same bits.
    double edgeLength(const PathNode* left, const PathNode* right) const {
        return left != nullptr ? index_.edgeAfter(left) : list_.distance(left, right);
    }
    // The length of the edge an inner gap breaks.
    double closedEdge(Gap gap) const {
        return gap.left != nullptr ? index_.edgeAfter(gap.left) : list_.distance(gap.left, gap.right);
    }
    // The position a gap is compared by: the gap after S comes first.
    std::uint64_t positionOf(Gap gap) const { return gap.left == nullptr ? 0 : index_.position(gap.right); }

    void insertCheapest(int point);
    // Hands the nodes relinked since the last call to the memories that
    // keep reaches.
    void takeRelinkNotes() {
        std::vector<int>& notes = index_.relinkNotes();
        if (!tripleMemory_.empty()) {
            for (int point : notes) tripleMemory_.forget(index_, list_.nodeOf(point), searchRadius);
        }
        notes.clear();
    }
    PathNode* firstExchange(PathNode* a, std::uint64_t since);
    bool hasThreeSuccessors(const PathNode* node) const {
        const PathNode* after = node;
        for (int s = 0; s < 3 && after != nullptr; ++s) after = index_.next(after);
        return after != nullptr;
    }

    IndexedPath index_;
    // A candidate c of the two-exchange, with its position when found.
    struct Candidate {
        std::uint64_t position;
        PathNode* node;
    };
    std::vector<Candidate> candidates_;
    // Per point, the moment its last search came out empty (0: never): by
    // slot for the pass that walks the path, by storage index for those
    // that go through the indices, so that each reads its own in order.
    // Segment passes remember the lengths that large point sets use (their
    // window is short); longer runs are always searched in full.
    static constexpr int kShortestRemembered = 2;
    static constexpr int kRememberedSegmentLengths = 4;
    std::vector<std::uint64_t> exchangeSettled_;
    std::vector<std::uint64_t> relocationSettled_;
    std::vector<std::uint64_t> tripleSettled_;
    // The same by the runs' ends, whichever way round they stand since (see
    // the passes for when a search may be remembered so).
    RunMemory tripleMemory_;
    std::array<RunMemory, kRememberedSegmentLengths> segmentMemories_;
};

template <class Weigh>
void FastPathEngine::searchGaps(PathNode* head, const PathNode* around, double extra, std::uint64_t since,
                                IndexedPath::Change change, GapChoice& choice, Weigh&& weigh) {
    if (head == nullptr) return;
    weigh(Gap{nullptr, head});
    index_.newSearch();
    const auto reach = [&choice, extra](double edge) { return searchRadius(edge, choice.cost + extra); };
    index_.forNodesChangedWithin(around, since, change, reach, [&](PathNode* x, Spot) {
        if (x->previous != nullptr && index_.firstVisit(x)) weigh(Gap{x->previous, x});
        if (x->next != nullptr && index_.firstVisit(x->next)) weigh(Gap{x, x->next});
    });
}

void FastPathEngine::searchPointGaps(Spot spot, std::uint64_t since, const PathNode* node, GapChoice& choice) {
    // A point's cost in a gap is the same either way round, so a relocation
    // that came out empty stays empty while the pairs of neighbours stay.
    searchGaps(list_.head(), node, 0.0, since, IndexedPath::Change::kNeighbours, choice, [&](Gap gap) {
        if (besideRun(gap, node, node)) return;
        const Spot q = list_.spotOf(gap.left);
        const Spot here = list_.spotOf(gap.right);
        const double closed = closedEdge(gap);
        if (choice.rulesOut(spotDistanceLowerBound(q, spot) + spotDistanceLowerBound(spot, here) - closed)) return;
        const double cost = spotDistance(q, spot) + spotDistance(spot, here) - closed;
        choice.offer(cost, gap, positionOf(gap), 0);
    });
}

void FastPathEngine::insertCheapest(int point) {
    PathNode* node = list_.nodeOf(point);
    const Spot spot = list_.spotOf(node);
    GapChoice choice(kNoCost);
    searchPointGaps(spot, 0, node, choice);
    Gap chosen = choice.gap;
    PathNode* tail = index_.tail();
    if (tail != nullptr && (!choice.found || spotDistance(list_.spotOf(tail), spot) < choice.cost)) {
        chosen = Gap{tail, nullptr};
    }
    index_.insertRun(node, node, chosen);
}

// The first c after a->next, in path order, for which reversing a->next .. c
// passes the literal test. It can pass only if d(a,c) < d(a,b) or
// d(b,d) < d(c,d) (rounded sums are monotonic), so those are the candidates;
// of them only the edges c-d with an end changed after `since`.
PathNode* FastPathEngine::firstExchange(PathNode* a, std::uint64_t since) {
    PathNode* b = index_.next(a);
    const Spot aSpot = list_.spotOf(a);
    const Spot bSpot = list_.spotOf(b);
    const double ab = index_.edgeAfter(a);
    const std::uint64_t bPosition = index_.position(b);
    // b, and the node after it (whose predecessor is b), lie at exactly the
    // reach of each search, where the squares cannot decide; neither gives
    // a candidate after b.
    const PathNode* const afterB = index_.next(b);
    candidates_.clear();
    const auto keep = [&](PathNode* c) {
        if (index_.next(c) == nullptr) return;
        const std::uint64_t position = index_.position(c);
        if (position > bPosition) candidates_.push_back(Candidate{position, c});
    };
    index_.forNodesChangedWithin(a, since, IndexedPath::Change::kAny, [ab](double) { return ab; },
                                 [&](PathNode* x, Spot at) {
                                     if (x != b && distanceBelow(aSpot.x - at.x, aSpot.y - at.y, ab)) keep(x);
                                 });
    index_.forNodesChangedWithin(b, since, IndexedPath::Change::kAny, [](double edge) { return edge; },
                                 [&](PathNode* x, Spot at) {
                                     if (x == afterB) return;
                                     if (!distanceBelow(bSpot.x - at.x, bSpot.y - at.y, index_.edgeBefore(x))) return;
                                     if (PathNode* previous = index_.previous(x)) keep(previous);
                                 });
    std::sort(candidates_.begin(), candidates_.end(),
              [](const Candidate& x, const Candidate& y) { return x.position < y.position; });
    for (std::size_t k = 0; k < candidates_.size(); ++k) {
        PathNode* c = candidates_[k].node;
        if (k > 0 && c == candidates_[k - 1].node) continue;
        PathNode* d = index_.next(c);
        const double kept = ab + index_.edgeAfter(c) - kMoveMargin;
        const Spot cSpot = list_.spotOf(c);
        const Spot dSpot = list_.spotOf(d);
        if (kept <= spotDistanceLowerBound(aSpot, cSpot) + spotDistanceLowerBound(bSpot, dSpot)) continue;
        if (kept > list_.distance(a, c) + list_.distance(b, d)) return c;
    }
    return nullptr;
}

int FastPathEngine::twoExchangePass() {
    if (list_.size() < kTwoExchangeMinPoints) return 0;
    int changed = 0;
    // Reversals here may turn runs as long as the path.
    index_.beginTurns();
    for (PathNode* a = index_.head(); a != nullptr && hasThreeSuccessors(a); a = index_.next(a)) {
        while (true) {
            const std::uint64_t since = settledSince(exchangeSettled_[static_cast<std::size_t>(list_.slotOf(a))], a,
                                                       IndexedPath::Change::kAny);
            index_.beforeSearchSince(since);
            PathNode* c = firstExchange(a, since);
            if (c == nullptr) break;
            index_.reverseRun(index_.next(a), c);
            changed = 1;
        }
        exchangeSettled_[static_cast<std::size_t>(list_.slotOf(a))] = index_.clock();
    }
    index_.endTurns();
    return changed;
}

int FastPathEngine::relocatePointsPass() {
    double total = 0.0;
    for (int index = 0; index < list_.size(); ++index) {
        prefetchAhead(index);
        PathNode* node = list_.nodeOf(index);
        const PathNode* before = node->previous;
        const PathNode* after = node->next;
        // The gain is wanted exactly only when some gap comes near it. The
        // search runs against a bound never below it (the same sums with a
        // lower bound of d(before, after)), which finds the same cheapest
        // gap whenever that gap beats the gain, and the exact gain is taken
        // only to tell.
        const double kept =
            after != nullptr ? edgeLength(before, node) + edgeLength(node, after) : edgeLength(before, node);
        bool gainKnown = after == nullptr;
        double gain = gainKnown ? kept : kept - spotDistanceLowerBound(list_.spotOf(before), list_.spotOf(after));
        const auto exactGain = [&] {
            if (!gainKnown) {
                gain = kept - list_.distance(before, after);
                gainKnown = true;
            }
            return gain;
        };
        const std::uint64_t since = settledSince(relocationSettled_[static_cast<std::size_t>(index)], node,
                                                   IndexedPath::Change::kNeighbours);
        // The point is searched for in place and taken out only when it
        // moves. The one gap of the path without it that this path lacks,
        // before-after (or S-after), would cost exactly the gain, computed
        // by the same sums, so it can never be strictly cheaper.
        const Spot spot = list_.spotOf(node);
        GapChoice choice(gain);
        searchPointGaps(spot, since, node, choice);
        if (choice.found && !(choice.cost < exactGain())) choice = GapChoice(gain);
        PathNode* tail = tailWithout(node, node->previous);
        if (tail != nullptr) {
            const double endCost = spotDistance(list_.spotOf(tail), spot);
            if (endCost < choice.cost && (choice.found || endCost < exactGain())) {
                choice.cost = endCost;
                choice.gap = Gap{tail, nullptr};
                choice.found = true;
            }
        }
        if (choice.found) {
            index_.detachRun(node, node);
            index_.insertRun(node, node, choice.gap);
            total += exactGain() - choice.cost;
            relocationSettled_[static_cast<std::size_t>(index)] = 0;
        } else {
            relocationSettled_[static_cast<std::size_t>(index)] = index_.clock();
        }
    }
    return total > kMoveMargin ? 1 : 0;
}

int FastPathEngine::relocateTriplesPass() {
    if (list_.size() < kTripleMinPoints) return 0;
    if (tripleMemory_.empty()) {
        tripleMemory_ = RunMemory(tripleSettled_.size(), 3);
        index_.noteRelinks();
    }
    takeRelinkNotes();
    tripleMemory_.settleReaches(index_.tree());
    int changed = 0;
    for (int index = 0; index < list_.size(); ++index) {
        prefetchAhead(index);
        PathNode* a = list_.nodeOf(index);
        if (a->next == nullptr || a->next->next == nullptr) continue;
        PathNode* b = a->next;
        PathNode* c = b->next;
        // A triple whose memory still holds its reach: no node relinked
        // since came near enough to give it a cheaper gap, and the gaps
        // weighed whatever the search (the one after S, the end) stand.
        if (const std::uint64_t kept = tripleMemory_.skippableSince(index_, a, c, index_.longestEdge());
            kept != 0 && index_.changedAt(list_.head(), IndexedPath::Change::kNeighbours) <= kept &&
            index_.changedAt(index_.tail(), IndexedPath::Change::kNeighbours) <= kept) {
            continue;
        }
        PathNode* d = c->next;
        PathNode* p = a->previous;
        const double pa = edgeLength(p, a);
        const double ab = edgeLength(a, b);
        const double bc = edgeLength(b, c);
        const double cd = d != nullptr ? edgeLength(c, d) : 0.0;
        const double pd = d != nullptr ? list_.distance(p, d) : 0.0;  // S-D without P
        double gain = pa + ab + bc;
        if (d != nullptr) gain = gain + cd - pd;
        const TripleShapes shapes = shapeTriple(list_, a, b, c);
        // The triple is searched for in place: the path without it has the
        // gaps of this path that do not touch it, plus P-D (or S-D), weighed
        // with the edge P-D the detached path would measure. With nothing of
        // the triple changed, only changed gaps count.
        //
        // Turned round, the triple or a gap gives sums of the same distances
        // in another order, which may round apart by a few units in the last
        // place. So a full search whose every gap missed by far more than
        // that is also remembered by the triple's ends, and stays good for
        // the gaps whose pairs of neighbours stand as then, whichever way
        // round they and the triple stand now. Each gap is weighed against
        // the triple's own threshold, whose rounding may differ by the same
        // few units, so the misses do not wear down over many turns: a gap
        // left out is one weighed once, either way round.
        std::uint64_t& settled = tripleSettled_[static_cast<std::size_t>(index)];
        std::uint64_t since = tripleMemory_.since(index_, a, c);
        IndexedPath::Change change = IndexedPath::Change::kNeighbours;
        if (since == 0) {
            since = unchangedSince(settled, a, c);
            change = IndexedPath::Change::kAny;
        }
        const bool everyGap = since == 0;
        const double gainScale = pa + ab + bc + cd + pd;
        bool missedByFar = true;

        // Any order costs at least the cost of putting A alone into the gap
        // plus the least of inner - d(A, first) - d(A, last).
        double least = kNoCost;
        double innerMost = 0.0;
        for (std::size_t r = 0; r < kTripleOrders.size(); ++r) {
            const TripleOrder& order = kTripleOrders[r];
            const double margin = shapes.inner[r] - shapes.apart[0][static_cast<std::size_t>(order.first)] -
                                  shapes.apart[0][static_cast<std::size_t>(order.last)];
            least = std::min(least, margin);
            innerMost = std::max(innerMost, shapes.inner[r]);
        }
        const double threshold = gain - kMoveMargin;
        const double reachOut = std::max(shapes.apart[0][1], shapes.apart[0][2]);
        const double slack = kRelativeSlack * (std::fabs(threshold) + innerMost + 2.0 * reachOut +
                                               std::max({index_.longestEdge(), p != nullptr ? pd : 0.0, 0.0})) +
                             kAbsoluteSlack;

        GapChoice choice(threshold);
        const auto weigh = [&](Gap gap) {
            const bool leftBehind = gap.left == p && gap.right == d;
            if (!leftBehind && touchesRun(gap, a, c)) return;
            const Spot here = list_.spotOf(gap.right);
            const double closed = leftBehind ? pd : closedEdge(gap);
            // A gap whose every order costs well above the threshold by the
            // lower bounds is neither offered nor close (the test below
            // grows more slowly than the cost, and twice its slack covers
            // the rounding of both).
            const double floor = leastOrderLowerBound(shapes, list_.spotOf(gap.left), &here, closed).cost;
            if (choice.rulesOut(floor) &&
                floor - threshold > 2.0 * kTurnSlack * (gainScale + std::fabs(floor) + 2.0 * closed)) {
                return;
            }
            const LeastOrder best = leastOrder(shapes, list_.spotOf(gap.left), &here, closed);
            // Turned round, the order left out here might no longer be the
            // cheapest, so it must miss by far too.
            if (best.cost - threshold <= kTurnSlack * (gainScale + std::fabs(best.cost) + 2.0 * closed)) {
                missedByFar = false;
            }
            if (gap.right == d && best.order == kFormerOrder) return;
            choice.offer(best.cost, gap, positionOf(gap), best.order);
        };
        PathNode* const head = p == nullptr ? d : list_.head();
        if (everyGap && p != nullptr && d != nullptr) weigh(Gap{p, d});
        searchGaps(head, a, slack - least, since, change, choice, weigh);
        int chosenOrder = choice.found ? choice.variant : -1;
        Gap chosen = choice.gap;
        PathNode* tail = tailWithout(c, p);
        if (tail != nullptr) {
            const LeastOrder best = leastOrder(shapes, list_.spotOf(tail), nullptr);
            if (best.cost - choice.cost <= kTurnSlack * (gainScale + std::fabs(best.cost))) missedByFar = false;
            if (best.cost < choice.cost && !(tail == p && best.order == kFormerOrder)) {
                chosenOrder = best.order;
                chosen = Gap{tail, nullptr};
            }
        }
        if (chosenOrder >= 0) {
            index_.detachRun(a, c);
            const auto ends = linkTriple(shapes, chosenOrder);
            index_.insertRun(ends[0], ends[1], chosen);
            changed = 1;
            settled = 0;
            takeRelinkNotes();
        } else {
            settled = index_.clock();
            // Gaps left out as unchanged missed by far when last weighed
            // only if the search started from the memory by ends.
            const bool fromEnds = change == IndexedPath::Change::kNeighbours;
            if ((everyGap || fromEnds) && missedByFar) {
                // The reach of the same search taken around the triple's
                // lower end (any of its points bounds the cost alike), a
                // little wider for the other way round's threshold.
                const std::size_t low = a->point < c->point ? 0 : 2;
                double lowLeast = kNoCost;
                for (std::size_t r = 0; r < kTripleOrders.size(); ++r) {
                    const TripleOrder& order = kTripleOrders[r];
                    lowLeast = std::min(lowLeast, shapes.inner[r] - shapes.apart[low][static_cast<std::size_t>(order.first)] -
                                                      shapes.apart[low][static_cast<std::size_t>(order.last)]);
                }
                const double lowOut = std::max(shapes.apart[low][1], shapes.apart[low][2 - low]);
                const double lowSlack = kRelativeSlack * (std::fabs(threshold) + innerMost + 2.0 * lowOut +
                                                          std::max({index_.longestEdge(), p != nullptr ? pd : 0.0, 0.0})) +
                                        kAbsoluteSlack;
                const double reach = threshold + (lowSlack - lowLeast) + kRelativeSlack * gainScale;
                tripleMemory_.remember(index_, a, c, settled, reach > 0.0 ? reach : 0.0, index_.longestEdge());
            }
        }
    }
    return changed;
}

int FastPathEngine::relocateSegmentsPass(int length) {
    if (length < 1) return 0;
    int changed = 0;
    for (int index = 0; index < list_.size(); ++index) {
        prefetchAhead(index);
        PathNode* first = list_.nodeOf(index);
        PathNode* last = stepsAfter(first, length - 1);
        if (last == nullptr) continue;
        PathNode* p = first->previous;
        PathNode* d = last->next;
        // As in the point pass, the search runs against a bound never below
        // the gain (the closing distance P-D from below), and the exact gain
        // only decides the move: a gap at or above the gain never passes
        // that test, so the same run moves to the same gap.
        const double opened = d != nullptr ? edgeLength(p, first) + edgeLength(last, d) : edgeLength(p, first);
        const double joined = d != nullptr ? spotDistanceLowerBound(list_.spotOf(p), list_.spotOf(d)) : 0.0;
        const double gain = d != nullptr ? opened - joined : opened;
        const auto exactGain = [&] { return d != nullptr ? opened - list_.distance(p, d) : opened; };
        const Spot firstSpot = list_.spotOf(first);
        const Spot lastSpot = list_.spotOf(last);
        // Every cost weighed here (the gain too) is a sum of two distances
        // less a third, and turning the run or a gap round only swaps the
        // two: the same bits. So a search that found no move still finds
        // none in the gaps whose pairs of neighbours stand as they stood,
        // whichever way round the run and they stand now.
        RunMemory* memory = segmentMemory(length);
        const std::uint64_t since = memory != nullptr ? memory->since(index_, first, last) : 0;
        // The run is searched for in place: the gap it would leave is never
        // weighed, and every other gap of the path without it is a gap of
        // this path that does not touch it.

        // Only a gap cheaper than the gain can make the move; either
        // direction costs at least F's own cost minus d(F, L).
        const double span = length == 2 ? edgeLength(first, last) : spotDistance(firstSpot, lastSpot);
        const double slack = kRelativeSlack * (std::fabs(gain) + 2.0 * span +
                                               std::max({index_.longestEdge(), p != nullptr ? joined : 0.0, 0.0})) +
                             kAbsoluteSlack;
        GapChoice choice(gain);
        PathNode* const head = p == nullptr ? d : list_.head();
        searchGaps(head, first, span + slack, since, IndexedPath::Change::kNeighbours, choice, [&](Gap gap) {
            if (gap.left == p || touchesRun(gap, first, last)) return;
            const Spot q = list_.spotOf(gap.left);
            const Spot here = list_.spotOf(gap.right);
            const double closed = closedEdge(gap);
            const std::uint64_t position = positionOf(gap);
            // Forwards (F first), then turned round (L first).
            const auto weighEnds = [&](Spot toQ, Spot toHere, int variant) {
                const double floor = spotDistanceLowerBound(q, toQ) + spotDistanceLowerBound(toHere, here) - closed;
                if (choice.rulesOut(floor)) return;
                choice.offer(spotDistance(q, toQ) + spotDistance(toHere, here) - closed, gap, position, variant);
            };
            weighEnds(firstSpot, lastSpot, 0);
            weighEnds(lastSpot, firstSpot, 1);
        });
        bool reversed = choice.variant == 1;
        Gap chosen = choice.gap;
        bool chosenAny = choice.found;
        double best = choice.cost;
        PathNode* tail = tailWithout(last, p);
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
        if (chosenAny && exactGain() - best > kMoveMargin) {
            index_.detachRun(first, last);
            if (reversed) {
                PathList::reverseRun(first, last);
                index_.insertRun(last, first, chosen);
            } else {
                index_.insertRun(first, last, chosen);
            }
            changed = 1;
        } else if (memory != nullptr) {
            memory->remember(index_, first, last, index_.clock());
        }
    }
    return changed;
}

}  // namespace

std::unique_ptr<PathEngine> makeFastPathEngine(const PathOptimizer& optimizer) {
    return std::make_unique<FastPathEngine>(optimizer);
}

}  // namespace tw
