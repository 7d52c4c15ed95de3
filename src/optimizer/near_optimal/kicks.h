// The iterated part of the near-optimal search: a kick swaps two short
// neighbouring stretches of the tour (a segment double bridge, which plain
// two-exchange chains cannot undo), the local search repairs the tour around
// it, and the result is kept when it is not longer than before the kick;
// otherwise every exchange since the kick is taken back.
//
// Kicks are placed by a fixed-seed generator and the budget is counted
// work, so the same tour and budget always give the same result.
#pragma once

#include <cstdint>

#include "optimizer/near_optimal/nodes.h"
#include "optimizer/near_optimal/search.h"
#include "optimizer/near_optimal/tour.h"

namespace tw::nearopt {

// splitmix64: a small generator whose sequence is the same on every platform.
class KickGenerator {
public:
    explicit KickGenerator(std::uint64_t seed) : state_(seed) {}
    std::uint64_t next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // A value in [0, bound) for bound >= 1.
    int below(int bound) { return static_cast<int>(next() % static_cast<std::uint64_t>(bound)); }

private:
    std::uint64_t state_;
};

// The seed of the module's kicks.
inline constexpr std::uint64_t kKickSeed = 0x7477506E744F7074ull;

// Kicks placed by a generator seeded with `seed`, in rounds: each call of
// run() kicks until the search's work counter reaches its limit, and the next
// call goes on with the generator where the last one stopped.
// `Tour` is ArrayTour or TwoLevelTour.
template <class Tour>
class Kicks {
public:
    Kicks(const NodeSet& nodes, Tour& tour, LocalSearch<Tour>& search, std::uint64_t seed);

    // Kicks until the search's work counter reaches `workLimit` (every kick
    // counts at least one step); returns the length removed (>= 0 up to
    // rounding).
    double run(long long workLimit);

private:
    const NodeSet& nodes_;
    Tour& tour_;
    LocalSearch<Tour>& search_;
    KickGenerator generator_;
};

}  // namespace tw::nearopt
