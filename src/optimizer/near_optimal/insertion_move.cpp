#include "optimizer/near_optimal/insertion_move.h"

#include "optimizer/near_optimal/stretch_swap.h"

namespace tw::nearopt {
namespace {

struct Insertion {
    int t2 = -1, t3 = -1, t4 = -1, t5 = -1, t6 = -1;
    double gain = 0.0;
};

}  // namespace

template <class Tour>
bool improveByInsertion(const NodeSet& nodes, const CandidateLists& candidates, Tour& tour, int t1,
                        double tolerance, double& gained, long long& work) {
    if (tour.size() < 4) return false;
    Insertion best;
    best.gain = tolerance;
    for (int side = 0; side < 2; ++side) {
        // Read the tour in the direction from t1 to t2.
        auto after = [&](int node) { return side == 0 ? tour.next(node) : tour.previous(node); };
        auto within = [&](int a, int b, int c) { return side == 0 ? tour.between(a, b, c) : tour.between(c, b, a); };
        const int t2 = after(t1);
        if (t2 == nodes.endNode || nodes.fixedEdge(t1, t2)) continue;
        const double removed12 = nodes.distance(t1, t2);
        for (const Candidate* c3 = candidates.begin(t2); c3 != candidates.end(t2); ++c3) {
            ++work;
            const double g1 = removed12 - c3->distance;
            if (g1 <= tolerance) break;
            const int t3 = c3->node;
            if (t3 == t1) continue;
            const int t4 = after(t3);
            if (t4 == t1 || t4 == t2 || t4 == nodes.endNode || nodes.fixedEdge(t3, t4)) continue;
            const double g1Open = g1 + nodes.distance(t3, t4);
            for (const Candidate* c5 = candidates.begin(t4); c5 != candidates.end(t4); ++c5) {
                ++work;
                const double g2 = g1Open - c5->distance;
                if (g2 <= best.gain) break;
                const int t5 = c5->node;
                // t5 on the ring t2 .. t3, and not its last node.
                if (t5 == t3 || !within(t2, t5, t3)) continue;
                const int t6 = after(t5);
                if (nodes.fixedEdge(t5, t6)) continue;
                const double gain = g2 + nodes.distance(t5, t6) - nodes.distance(t6, t1);
                if (gain > best.gain) best = {t2, t3, t4, t5, t6, gain};
            }
        }
    }
    if (best.t2 < 0) return false;
    // The array tour turns at most kLongestReversal nodes in one exchange;
    // the first one here turns both stretches.
    if (tour.longExchange(t1, best.t2, best.t4, best.t3)) return false;
    // t1 [t2 .. t5] [t6 .. t3] t4  becomes  t1 [t6 .. t3] [t2 .. t5] t4
    work += swapStretches(tour, t1, best.t2, best.t5, best.t6, best.t3, best.t4, true, true);
    gained += best.gain;
    return true;
}

template bool improveByInsertion(const NodeSet&, const CandidateLists&, ArrayTour&, int, double, double&, long long&);
template bool improveByInsertion(const NodeSet&, const CandidateLists&, TwoLevelTour&, int, double, double&, long long&);

}  // namespace tw::nearopt
