// The effort setting of the near-optimal mode ("searchEffort"): a whole
// number from kMinSearchEffort to kMaxSearchEffort, default 10. After the
// first local search, effort e gives the kicks a budget W of e * w counted
// steps per distinct position of the contour, up to 25,000 positions; a
// larger contour of n positions gets e * w * sqrt(25,000 n) steps, so that
// 100,000 points stay within seconds. A step is a candidate examined, or
// what a reversal touches: on the array tour (below 10,000 positions,
// w = 10,000) a node moved; on the two-level tour (from 10,000 on,
// w = 1,500) a node relinked or a segment turned, where an exchange costs
// about a fifth as many steps.
// The work is counted, never timed, so the same effort gives the same order
// everywhere; the time grows about linearly with it.
//
// How the budget is spent depends on the size (planKicks): below 3,000
// positions six attempts start from the curve laid in six of the square's
// symmetries, each kicks with 0.125 of the budget, and the shortest goes on
// with another 0.5; from 3,000 positions to the two-level tour one search
// kicks with twice the budget; on the two-level tour one search kicks with
// the budget.
//
// What a unit buys (Release, the 17 TSPLIB drilling instances of
// bench_near_optimal_bench): the default 10 leaves the paths on average
// 0.26 % above the best known open paths (0.28 % over eight other sequences
// of kicks; d18512 0.57 % in about 3 processor seconds, every instance up
// to 2,000 points within 0.4 s). Effort 1 gave 1.24 %, 5 0.52 %, 20
// 0.16 %, 100 0.08 %. The kicks take about nine tenths of the time.
#pragma once

#include <string_view>

namespace tw {

inline constexpr int kDefaultSearchEffort = 10;
inline constexpr int kMinSearchEffort = 1;
inline constexpr int kMaxSearchEffort = 100;

// Module-wide like the other tuning values; the cycle sets it from the
// parameter before every run. Kept within the range by whoever sets it.
extern int searchEffort;

// The effort a parameter text asks for. A whole number (blanks around it and
// a sign allowed) is clamped into the range; any other text (empty, a
// fraction, an exponent, trailing characters) gives the default.
int parseSearchEffort(std::string_view text);

namespace nearopt {

inline constexpr long long kKickWorkPerPosition = 10000;
// The same for the two-level tour, whose reversals count far fewer steps:
// at this figure d18512 takes about the time the array took at 10,000.
inline constexpr long long kTwoLevelKickWorkPerPosition = 1500;
// Up to this many distinct positions every position buys the full work.
inline constexpr long long kFullWorkPositions = 25000;

// The kicks' work budget for `positions` distinct positions at `effort`.
long long kickWork(long long positions, int effort, long long perPosition = kKickWorkPerPosition);

// Below this many distinct positions a search makes several attempts.
inline constexpr long long kAttemptPositions = 3000;
inline constexpr int kAttempts = 6;
// Of the budget W: each attempt's kicks before the shortest is chosen, and
// what the chosen one goes on with (6 x 0.125 W + 0.5 W = 1.25 W in all).
inline constexpr long long kTrialPerMille = 125;
inline constexpr long long kRestPerMille = 500;
// From kAttemptPositions on, the array tour's single search gets this many
// times W: there the kicks still pay, where on smaller contours a different
// first tour pays more.
inline constexpr long long kSingleSearchFactor = 2;

// How the kicks' work is spent on one contour.
struct KickPlan {
    int attempts = 1;     // searches from differently laid first tours
    long long trial = 0;  // kick work of each attempt before the shortest is chosen
    long long rest = 0;   // kick work the chosen attempt goes on with
};

// The plan for `positions` distinct positions at `effort`, on the two-level
// tour (`twoLevel`) or the array tour.
KickPlan planKicks(long long positions, int effort, bool twoLevel);

// Floor of the square root of 0 <= value < 2^62, in integers so that every
// platform agrees.
long long integerSquareRoot(long long value);

}  // namespace nearopt

}  // namespace tw
