// Repetition of improvement rounds until they stop changing the path.
#pragma once

#include <cstdint>
#include <cstring>
#include <unordered_set>

#include "optimizer/engines/path_list.h"

namespace tw {

// Safety net for the repeat loops. Every accepted move gains something, so
// on real data the rounds stop long before this; only a cycle of moves that
// rounding makes look like gains (coordinates far larger than the margins)
// could reach it. The path found so far is then kept like any other result.
// Real point sets settle within a handful of rounds (at most 7 over every
// benchmark set), so the cap leaves a wide margin.
inline constexpr long kMaxImprovementRounds = 1000;

// A fingerprint of the path's geometry: FNV-1a over the x and y bits of the
// visited positions in order. Coinciding points give the same fingerprint
// whatever their order, so shuffling them counts as no new path.
inline std::uint64_t pathFingerprint(const PathList& list) {
    std::uint64_t hash = 1469598103934665603ull;
    const auto mix = [&hash](double value) {
        std::uint64_t bits = 0;
        std::memcpy(&bits, &value, sizeof bits);
        for (int shift = 0; shift < 64; shift += 8) {
            hash ^= (bits >> shift) & 0xFF;
            hash *= 1099511628211ull;
        }
    };
    for (const PathNode* node = list.head(); node != nullptr; node = node->next) {
        const Spot spot = list.spotOf(node);
        mix(spot.x);
        mix(spot.y);
    }
    return hash;
}

// Runs `round` (returning non-zero when it changed the path) until
// `unchangedLimit` rounds, counted over all rounds, changed nothing, or
// `maxRounds` rounds ran. Returns the number of rounds run.
//
// A round that changes the path gains length, so a path seen before can only
// come back when rounding makes moves look like gains (coordinates so large
// that the margins drown in rounding, or coinciding points shuffled for a
// phantom gain). The rounds would then cycle without end; they stop at the
// first path seen again instead. On paths whose gains are real no path ever
// repeats, so this never cuts a genuine improvement short.
template <class Round>
long runImprovementRounds(const PathList& list, Round&& round, int unchangedLimit, long maxRounds) {
    std::unordered_set<std::uint64_t> seen{pathFingerprint(list)};
    int remaining = unchangedLimit;
    long rounds = 0;
    while (remaining > 0 && rounds < maxRounds) {
        ++rounds;
        if (round() == 0) {
            --remaining;
        } else if (!seen.insert(pathFingerprint(list)).second) {
            break;
        }
    }
    return rounds;
}

}  // namespace tw
