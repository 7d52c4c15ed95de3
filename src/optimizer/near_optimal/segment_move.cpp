#include "optimizer/near_optimal/segment_move.h"

#include "optimizer/near_optimal/stretch_swap.h"

namespace tw::nearopt {
namespace {

struct SegmentMove {
    int first = -1;  // stretch first .. last in tour direction
    int last = -1;
    int p = -1;      // goes between p and q = next(p)
    int q = -1;
    bool reversed = false;
    double gain = 0.0;
};

// Whether `node` is one of the `length` nodes from `first` on.
template <class Tour>
bool inStretch(const Tour& tour, int first, int length, int node) {
    for (int k = 0; k < length; ++k, first = tour.next(first))
        if (first == node) return true;
    return false;
}

}  // namespace

template <class Tour>
bool improveBySegmentMove(const NodeSet& nodes, const CandidateLists& candidates, Tour& tour, int node,
                          double tolerance, double& gained, long long& work) {
    const int size = tour.size();
    SegmentMove best;
    best.gain = tolerance;
    for (int length = 1; length <= kLongestSegment && length + 3 <= size; ++length) {
        for (int side = 0; side < 2; ++side) {
            // The stretch starts at `node`, or ends there.
            int first = node;
            int last = node;
            for (int k = 1; k < length; ++k) {
                if (side == 0) last = tour.next(last);
                else first = tour.previous(first);
            }
            if (length == 1 && side == 1) continue;
            const int a = tour.previous(first);
            const int b = tour.next(last);
            if (nodes.fixedEdge(a, first) || nodes.fixedEdge(last, b)) continue;
            const double removal = nodes.distance(a, first) + nodes.distance(last, b) - nodes.distance(a, b);
            if (removal <= tolerance) continue;
            for (int end = 0; end < 2; ++end) {
                const int from = end == 0 ? first : last;
                if (from == nodes.endNode) continue;
                for (const Candidate* c = candidates.begin(from); c != candidates.end(from); ++c) {
                    ++work;
                    if (removal - c->distance <= best.gain) break;
                    for (int around = 0; around < 2; ++around) {
                        const int p = around == 0 ? c->node : tour.previous(c->node);
                        const int q = tour.next(p);
                        // p and q outside the stretch, and (p, q) not one of its edges.
                        if (inStretch(tour, first, length, p) || inStretch(tour, first, length, q)) continue;
                        if (p == a || nodes.fixedEdge(p, q)) continue;
                        const double join = nodes.distance(p, q);
                        const double forward = nodes.distance(p, first) + nodes.distance(last, q) - join;
                        const double backward = nodes.distance(p, last) + nodes.distance(first, q) - join;
                        const bool reversed = backward < forward;
                        const double gain = removal - (reversed ? backward : forward);
                        if (gain > best.gain) best = {first, last, p, q, reversed, gain};
                    }
                }
            }
        }
    }
    if (best.first < 0) return false;
    const int a = tour.previous(best.first);
    const int b = tour.next(best.last);
    if (best.q != a) {
        // a [first .. last] [b .. p] q  becomes  a [b .. p] [stretch] q
        work += swapStretches(tour, a, best.first, best.last, b, best.p, best.q, !best.reversed, true);
    } else {
        // p [q .. a] [first .. last] b  becomes  p [stretch] [q .. a] b
        work += swapStretches(tour, best.p, best.q, a, best.first, best.last, b, true, !best.reversed);
    }
    gained += best.gain;
    return true;
}

template bool improveBySegmentMove(const NodeSet&, const CandidateLists&, ArrayTour&, int, double, double&, long long&);
template bool improveBySegmentMove(const NodeSet&, const CandidateLists&, TwoLevelTour&, int, double, double&, long long&);

}  // namespace tw::nearopt
