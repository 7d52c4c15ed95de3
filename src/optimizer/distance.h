// The plane distance used by every heuristic.
#pragma once

#include <cmath>

namespace tw {

// sqrt(dx*dx + dy*dy), correctly rounded: the double nearest to the exact
// value, identical on every platform (unlike the C library's hypot).
double exactHypot(double dx, double dy);

namespace distance_detail {

// Squares settle a comparison with a radius only well inside the normal
// range, and only outside a relative slack far above their rounding error;
// there the correctly rounded distance compares the same way.
inline constexpr double kSquareSlack = 1e-9;
inline constexpr double kLeastSquare = 1e-280;
inline constexpr double kMostSquare = 1e280;

// -1 when exactHypot(dx, dy) < radius for sure, +1 when > radius for sure,
// 0 when the squares do not tell.
inline int squareVerdict(double dx, double dy, double radius) {
    if (!(radius > 0.0)) return 0;
    const double radiusSquare = radius * radius;
    if (!(radiusSquare >= kLeastSquare && radiusSquare <= kMostSquare)) return 0;
    const double square = dx * dx + dy * dy;
    if (square < radiusSquare * (1.0 - kSquareSlack)) return -1;
    if (square > radiusSquare * (1.0 + kSquareSlack)) return 1;
    return 0;
}

}  // namespace distance_detail

// A value never above exactHypot(dx, dy), for ruling a sum of distances
// out before it is taken exactly. Well inside the normal range the rounded
// squares, their rounded sum and its rounded root each stray by at most
// 2^-53 of the value, so the root is within 2^-51 of the true distance, and
// exactHypot within 2^-53; taking 2^-48 off puts the result below both.
// Below that range 0 bounds every distance; far above it (or for a NaN) the
// hypot itself is the bound.
inline double hypotLowerBound(double dx, double dy) {
    const double square = dx * dx + dy * dy;
    if (!(square <= distance_detail::kMostSquare)) return exactHypot(dx, dy);
    if (square < distance_detail::kLeastSquare) return 0.0;
    return std::sqrt(square) * (1.0 - 0x1p-48);
}

// exactHypot(dx, dy) > radius, computed without the hypot where it can be.
inline bool distanceAbove(double dx, double dy, double radius) {
    const int verdict = distance_detail::squareVerdict(dx, dy, radius);
    return verdict != 0 ? verdict > 0 : exactHypot(dx, dy) > radius;
}

// exactHypot(dx, dy) < radius, the same way.
inline bool distanceBelow(double dx, double dy, double radius) {
    const int verdict = distance_detail::squareVerdict(dx, dy, radius);
    return verdict != 0 ? verdict < 0 : exactHypot(dx, dy) < radius;
}

}  // namespace tw
