// Repetition of improvement rounds until they stop changing the path.
#pragma once

namespace tw {

// Safety net for the repeat loops. Every accepted move gains something, so
// on real data the rounds stop long before this; only a cycle of moves that
// rounding makes look like gains (coordinates far larger than the margins)
// could reach it. The path found so far is then kept like any other result.
inline constexpr long kMaxImprovementRounds = 100000;

// Runs `round` (returning non-zero when it changed the path) until
// `unchangedLimit` rounds, counted over all rounds, changed nothing, or
// `maxRounds` rounds ran. Returns the number of rounds run.
template <class Round>
long runImprovementRounds(Round&& round, int unchangedLimit, long maxRounds) {
    int remaining = unchangedLimit;
    long rounds = 0;
    while (remaining > 0 && rounds < maxRounds) {
        ++rounds;
        if (round() == 0) --remaining;
    }
    return rounds;
}

}  // namespace tw
