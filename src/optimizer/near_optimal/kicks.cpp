#include "optimizer/near_optimal/kicks.h"

#include "optimizer/near_optimal/stretch_swap.h"

namespace tw::nearopt {
namespace {

// Longest stretch a kick moves: short enough to keep the repair local.
constexpr int kLongestStretch = 100;

}  // namespace

template <class Tour>
Kicks<Tour>::Kicks(const NodeSet& nodes, Tour& tour, LocalSearch<Tour>& search, std::uint64_t seed)
    : nodes_(nodes), tour_(tour), search_(search), generator_(seed) {}

template <class Tour>
double Kicks<Tour>::run(long long workLimit) {
    const int size = tour_.size();
    if (size < 6) return 0.0;
    const int longest = (size - 2) / 2 < kLongestStretch ? (size - 2) / 2 : kLongestStretch;
    double removed = 0.0;
    while (search_.work() < workLimit) {
        search_.addWork(1);
        // x [B0 .. Bend] [C0 .. Cend] y  becomes  x [C0 .. Cend] [B0 .. Bend] y
        const int p = generator_.below(size);
        const int lengthB = 1 + generator_.below(longest);
        const int lengthC = 1 + generator_.below(longest);
        const int x = tour_.anchor(p);
        const int b0 = tour_.next(x);
        int bEnd = b0;
        for (int k = 1; k < lengthB; ++k) bEnd = tour_.next(bEnd);
        const int c0 = tour_.next(bEnd);
        int cEnd = c0;
        for (int k = 1; k < lengthC; ++k) cEnd = tour_.next(cEnd);
        const int y = tour_.next(cEnd);
        if (nodes_.fixedEdge(x, b0) || nodes_.fixedEdge(bEnd, c0) || nodes_.fixedEdge(cEnd, y)) continue;
        const double change = nodes_.distance(x, c0) + nodes_.distance(cEnd, b0) + nodes_.distance(bEnd, y) -
                              nodes_.distance(x, b0) - nodes_.distance(bEnd, c0) - nodes_.distance(cEnd, y);
        const std::size_t mark = tour_.mark();
        search_.addWork(swapStretches(tour_, x, b0, bEnd, c0, cEnd, y, true, true));
        search_.push(x);
        search_.push(b0);
        search_.push(bEnd);
        search_.push(c0);
        search_.push(cEnd);
        search_.push(y);
        const double gained = search_.run(workLimit);
        if (change - gained > 0.0) {
            search_.addWork(tour_.undoTo(mark));
        } else {
            removed += gained - change;
        }
        tour_.forget();
    }
    return removed;
}

template class Kicks<ArrayTour>;
template class Kicks<TwoLevelTour>;

}  // namespace tw::nearopt
