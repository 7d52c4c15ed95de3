#include "optimizer/near_optimal/kicks.h"

#include "optimizer/near_optimal/stretch_swap.h"

namespace tw::nearopt {
namespace {

// Longest stretch a kick moves: short enough to keep the repair local.
constexpr int kLongestStretch = 100;

}  // namespace

template <class Tour>
double iterateKicks(const NodeSet& nodes, Tour& tour, LocalSearch<Tour>& search, long long workLimit,
                    std::uint64_t seed) {
    const int size = tour.size();
    if (size < 6) return 0.0;
    const int longest = (size - 2) / 2 < kLongestStretch ? (size - 2) / 2 : kLongestStretch;
    KickGenerator generator(seed);
    double removed = 0.0;
    while (search.work() < workLimit) {
        search.addWork(1);
        // x [B0 .. Bend] [C0 .. Cend] y  becomes  x [C0 .. Cend] [B0 .. Bend] y
        const int p = generator.below(size);
        const int lengthB = 1 + generator.below(longest);
        const int lengthC = 1 + generator.below(longest);
        const int x = tour.anchor(p);
        const int b0 = tour.next(x);
        int bEnd = b0;
        for (int k = 1; k < lengthB; ++k) bEnd = tour.next(bEnd);
        const int c0 = tour.next(bEnd);
        int cEnd = c0;
        for (int k = 1; k < lengthC; ++k) cEnd = tour.next(cEnd);
        const int y = tour.next(cEnd);
        if (nodes.fixedEdge(x, b0) || nodes.fixedEdge(bEnd, c0) || nodes.fixedEdge(cEnd, y)) continue;
        const double change = nodes.distance(x, c0) + nodes.distance(cEnd, b0) + nodes.distance(bEnd, y) -
                              nodes.distance(x, b0) - nodes.distance(bEnd, c0) - nodes.distance(cEnd, y);
        const std::size_t mark = tour.mark();
        search.addWork(swapStretches(tour, x, b0, bEnd, c0, cEnd, y, true, true));
        search.push(x);
        search.push(b0);
        search.push(bEnd);
        search.push(c0);
        search.push(cEnd);
        search.push(y);
        const double gained = search.run(workLimit);
        if (change - gained > 0.0) {
            search.addWork(tour.undoTo(mark));
        } else {
            removed += gained - change;
        }
        tour.forget();
    }
    return removed;
}

template double iterateKicks(const NodeSet&, ArrayTour&, LocalSearch<ArrayTour>&, long long, std::uint64_t);
template double iterateKicks(const NodeSet&, TwoLevelTour&, LocalSearch<TwoLevelTour>&, long long, std::uint64_t);

}  // namespace tw::nearopt
