// Swapping two neighbouring stretches of the tour, the move behind the
// kicks, the short segment moves and the longer insertions of the search.
#pragma once

namespace tw::nearopt {

// Swaps the neighbouring stretches [b0 .. bEnd] and [c0 .. cEnd] that lie
// between x and y in one direction of the tour (x b0 .. bEnd c0 .. cEnd y,
// read forwards or backwards); a stretch keeps its direction when `keepB`
// or `keepC` is set and is turned otherwise. Returns the work.
template <class Tour>
long long swapStretches(Tour& tour, int x, int b0, int bEnd, int c0, int cEnd, int y, bool keepB, bool keepC) {
    long long work = tour.exchange(x, b0, y, cEnd);          // x Cend..C0 Bend..B0 y
    if (keepC) work += tour.exchange(x, cEnd, bEnd, c0);     // x C0..Cend Bend..B0 y
    const int beforeB = keepC ? cEnd : c0;
    if (keepB) work += tour.exchange(beforeB, bEnd, y, b0);  // .. B0..Bend y
    return work;
}

}  // namespace tw::nearopt
