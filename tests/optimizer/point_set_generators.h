// Seeded point sets that stress the exactness of the heuristics: exact ties,
// duplicates, collinear runs, coordinates near the accepted limit, and
// distances and move gains placed within a rounding step of the decision
// thresholds (0.001 for the directed tour's near-tie, 1e-8 for a move's
// margin). The same spec always gives the same set on every platform.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "optimizer/distance.h"
#include "optimizer/optimizer_test_support.h"

namespace tw::test {

enum class SetKind {
    kUniformDecimals,   // uniform, rounded to 0 .. 3 decimals
    kGrid,              // a hole grid with holes left out: massive exact ties
    kDuplicates,        // few distinct places, each used many times
    kCollinearRuns,     // points on a few lines, exact zero-gain moves
    kClusters,          // tight clusters far apart
    kNearLimit,         // coordinates within a few percent of 1e30
    kLarge,             // coordinates around 1e29
    kDistanceNearTies,  // distances 0.001 apart, give or take a coordinate ulp
    kGainNearTies,      // near-collinear triples whose detour is 1e-8, give or take a rounding step
};

inline constexpr SetKind kAllSetKinds[] = {
    SetKind::kUniformDecimals, SetKind::kGrid,     SetKind::kDuplicates,
    SetKind::kCollinearRuns,   SetKind::kClusters, SetKind::kNearLimit,
    SetKind::kLarge,           SetKind::kDistanceNearTies, SetKind::kGainNearTies,
};

enum class StartKind { kInside, kOutside, kOnPoint };

inline constexpr StartKind kAllStartKinds[] = {StartKind::kInside, StartKind::kOutside,
                                               StartKind::kOnPoint};

struct SetSpec {
    SetKind kind;
    int count;
    std::uint32_t seed;
    StartKind start;
};

struct GeneratedSet {
    std::vector<XY> points;
    XY start;
};

inline const char* setKindName(SetKind kind) {
    switch (kind) {
        case SetKind::kUniformDecimals: return "uniform";
        case SetKind::kGrid: return "grid";
        case SetKind::kDuplicates: return "duplicates";
        case SetKind::kCollinearRuns: return "collinear";
        case SetKind::kClusters: return "clusters";
        case SetKind::kNearLimit: return "near-limit";
        case SetKind::kLarge: return "large";
        case SetKind::kDistanceNearTies: return "distance-near-ties";
        case SetKind::kGainNearTies: return "gain-near-ties";
    }
    return "?";
}

inline const char* startKindName(StartKind kind) {
    switch (kind) {
        case StartKind::kInside: return "inside";
        case StartKind::kOutside: return "outside";
        case StartKind::kOnPoint: return "on-point";
    }
    return "?";
}

inline std::string describe(const SetSpec& spec) {
    return std::string(setKindName(spec.kind)) + " n=" + std::to_string(spec.count) +
           " seed=" + std::to_string(spec.seed) + " start=" + startKindName(spec.start);
}

namespace generators {

// Uniform in [0, 1) from 53 random bits: the same on every platform
// (std::uniform_real_distribution is not).
inline double unit(std::mt19937_64& random) { return static_cast<double>(random() >> 11) * 0x1p-53; }

inline int below(std::mt19937_64& random, int bound) {
    return bound <= 0 ? 0 : static_cast<int>(random() % static_cast<std::uint64_t>(bound));
}

inline double roundTo(double value, int decimals) {
    const double scale = std::pow(10.0, decimals);
    return std::round(value * scale) / scale;
}

// `value` moved by |steps| ulps, away from zero for steps > 0 and towards
// it for steps < 0.
inline double stepUlps(double value, int steps) {
    const double toward = (steps < 0) == (value < 0) ? INFINITY : -INFINITY;
    for (int s = 0; s < std::abs(steps); ++s) value = std::nextafter(value, toward);
    return value;
}

inline void uniformDecimals(std::vector<XY>& points, int count, std::mt19937_64& random) {
    const int decimals = below(random, 4);
    const double spacings[] = {0.5, 1.0, 10.0, 100.0};
    const double side = std::sqrt(static_cast<double>(count) + 1.0) * spacings[below(random, 4)];
    for (int i = 0; i < count; ++i) {
        points.push_back({roundTo(unit(random) * side, decimals), roundTo(unit(random) * side, decimals)});
    }
}

inline void grid(std::vector<XY>& points, int count, std::mt19937_64& random) {
    const double pitches[] = {1.0, 0.5, 0.125, 2.54, 10.0};
    const double pitch = pitches[below(random, 5)];
    // Sometimes a single row or column, sometimes a near-square block.
    const int shape = below(random, 4);
    const int side = std::max(1, static_cast<int>(std::sqrt(count * 1.3)));
    const int columns = shape == 0 ? count * 2 : shape == 1 ? 1 : side;
    const int rows = (2 * count) / columns + 2;
    std::vector<XY> cells;
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            cells.push_back({roundTo(c * pitch, 3), roundTo(r * pitch, 3)});
        }
    }
    // Row order (as a drilling program lists holes) or a random selection.
    if (below(random, 2) == 0) {
        for (int i = 0; i < count; ++i) points.push_back(cells[static_cast<std::size_t>(i) % cells.size()]);
    } else {
        for (int i = 0; i < count; ++i) points.push_back(cells[static_cast<std::size_t>(below(random, static_cast<int>(cells.size())))]);
    }
}

inline void duplicates(std::vector<XY>& points, int count, std::mt19937_64& random) {
    const int places = 1 + below(random, count / 3 + 2);
    std::vector<XY> pool;
    for (int p = 0; p < places; ++p) pool.push_back({static_cast<double>(below(random, 40)), static_cast<double>(below(random, 40))});
    for (int i = 0; i < count; ++i) points.push_back(pool[static_cast<std::size_t>(below(random, places))]);
}

inline void collinearRuns(std::vector<XY>& points, int count, std::mt19937_64& random) {
    int lines = 1 + below(random, 4);
    while (static_cast<int>(points.size()) < count) {
        const int remaining = count - static_cast<int>(points.size());
        const int length = lines-- <= 1 ? remaining : 1 + below(random, remaining);
        const double ox = below(random, 50);
        const double oy = below(random, 50);
        // Axis-parallel and diagonal lines keep exact zero detours; a
        // general slope gives detours of a few ulps.
        const double directions[][2] = {{1, 0}, {0, 1}, {1, 1}, {3, 4}, {1, -2}};
        const int direction = below(random, 5);
        const bool evenSteps = below(random, 2) == 0;
        for (int k = 0; k < length; ++k) {
            const double t = evenSteps ? static_cast<double>(below(random, length * 2)) : roundTo(unit(random) * length, 2);
            points.push_back({ox + t * directions[direction][0], oy + t * directions[direction][1]});
        }
    }
}

inline void clusters(std::vector<XY>& points, int count, std::mt19937_64& random) {
    const int clusterCount = 1 + below(random, count / 8 + 1);
    const double radius = std::pow(10.0, -2.0 + 2.0 * unit(random));
    std::vector<XY> centres;
    for (int c = 0; c < clusterCount; ++c) centres.push_back({roundTo(unit(random) * 1000, 1), roundTo(unit(random) * 1000, 1)});
    for (int i = 0; i < count; ++i) {
        const XY& centre = centres[static_cast<std::size_t>(below(random, clusterCount))];
        points.push_back({roundTo(centre.x + (2 * unit(random) - 1) * radius, 3),
                          roundTo(centre.y + (2 * unit(random) - 1) * radius, 3)});
    }
}

// Within the accepted magnitude 1e30, some exactly at it.
inline void nearLimit(std::vector<XY>& points, int count, std::mt19937_64& random) {
    const auto coordinate = [&random]() {
        const double sign = below(random, 2) == 0 ? 1.0 : -1.0;
        switch (below(random, 4)) {
            case 0: return sign * 1e30;
            case 1: return sign * 1e30 * (1.0 - unit(random) * 1e-3);
            case 2: return sign * 1e30 * (1.0 - below(random, 8) * 0.125);
            default: return stepUlps(sign * 1e30, -below(random, 3));
        }
    };
    for (int i = 0; i < count; ++i) points.push_back({coordinate(), coordinate()});
}

inline void large(std::vector<XY>& points, int count, std::mt19937_64& random) {
    const bool gridded = below(random, 2) == 0;
    for (int i = 0; i < count; ++i) {
        if (gridded) {
            points.push_back({1e29 + below(random, 20) * 1e27, -1e29 + below(random, 20) * 1e27});
        } else {
            points.push_back({(2 * unit(random) - 1) * 1e29, (2 * unit(random) - 1) * 1e29});
        }
    }
}

// Hubs with axis-parallel spokes whose lengths are r and r + 0.001, the
// outer coordinate moved by up to two ulps either way, so that the computed
// difference of two distances lies on both sides of 0.001. Hubs sit close
// enough that the tours run from one to the next through such choices.
inline void distanceNearTies(std::vector<XY>& points, int count, std::mt19937_64& random) {
    const double radii[] = {1.0, 5.0, 10.5, 0.25};
    while (static_cast<int>(points.size()) < count) {
        const double hx = below(random, 12) * 3.0;
        const double hy = below(random, 12) * 3.0;
        const double r = radii[below(random, 4)];
        points.push_back({hx, hy});
        const int spokes = 1 + below(random, 4);
        for (int s = 0; s < spokes && static_cast<int>(points.size()) < count; ++s) {
            const bool tie = below(random, 4) != 0;
            const double length = tie ? r + 0.001 : r;
            const int ulps = tie ? below(random, 5) - 2 : 0;
            switch (below(random, 4)) {
                case 0: points.push_back({stepUlps(hx + length, ulps), hy}); break;
                case 1: points.push_back({stepUlps(hx - length, ulps), hy}); break;
                case 2: points.push_back({hx, stepUlps(hy + length, ulps)}); break;
                default: points.push_back({hx, stepUlps(hy - length, ulps)}); break;
            }
        }
    }
}

// The computed detour of b between a and c, the quantity every pass weighs
// against the 1e-8 margin.
inline double detour(XY a, XY b, XY c) {
    return exactHypot(b.x - a.x, b.y - a.y) + exactHypot(c.x - b.x, c.y - b.y) - exactHypot(c.x - a.x, c.y - a.y);
}

// The lift h of the middle point of a-(x + half, y + h)-c whose computed
// detour is the first at or above 1e-8, moved by `steps` rounding steps of
// the detour (a detour of lengths near 2 * half changes in steps of one ulp
// of those lengths).
inline double liftForMargin(double x, double y, double half, int steps) {
    const XY a{x, y};
    const XY c{x + 2 * half, y};
    double low = 0.0;
    double high = half;
    for (int i = 0; i < 200; ++i) {
        const double middle = 0.5 * (low + high);
        if (middle <= low || middle >= high) break;
        if (detour(a, {x + half, y + middle}, c) >= 1e-8) high = middle;
        else low = middle;
    }
    // d(detour)/dh is about 2h / half.
    const double quantum = std::nextafter(2 * half, INFINITY) - 2 * half;
    return high + steps * quantum * half / (2 * high);
}

// Zigzag rows a, b, c, b', c', ... whose every middle point makes a detour
// of 1e-8 give or take a rounding step, in rows of different lengths and
// places.
inline void gainNearTies(std::vector<XY>& points, int count, std::mt19937_64& random) {
    const double halves[] = {1.0, 0.5, 2.5, 0.75};
    while (static_cast<int>(points.size()) < count) {
        const double half = halves[below(random, 4)];
        const double x0 = below(random, 20) * 4.0;
        const double y0 = below(random, 40) * 1.0;
        const int triples = 1 + below(random, 8);
        const bool vertical = below(random, 3) == 0;
        points.push_back(vertical ? XY{y0, x0} : XY{x0, y0});
        for (int t = 0; t < triples && static_cast<int>(points.size()) + 1 < count; ++t) {
            const double x = x0 + t * 2 * half;
            const double lift = liftForMargin(x, y0, half, below(random, 5) - 2);
            const double sign = below(random, 2) == 0 ? 1.0 : -1.0;
            const XY middle{x + half, y0 + sign * lift};
            const XY end{x + 2 * half, y0};
            points.push_back(vertical ? XY{middle.y, middle.x} : middle);
            points.push_back(vertical ? XY{end.y, end.x} : end);
        }
    }
    points.resize(static_cast<std::size_t>(count));
}

inline XY startFor(StartKind kind, const std::vector<XY>& points, std::mt19937_64& random) {
    if (points.empty()) return {0, 0};
    XY low = points.front();
    XY high = points.front();
    for (const XY& p : points) {
        low = {std::min(low.x, p.x), std::min(low.y, p.y)};
        high = {std::max(high.x, p.x), std::max(high.y, p.y)};
    }
    const auto clamp = [](double v) { return std::clamp(v, -1e30, 1e30); };
    switch (kind) {
        case StartKind::kInside:
            return {roundTo(low.x + unit(random) * (high.x - low.x), 3), roundTo(low.y + unit(random) * (high.y - low.y), 3)};
        case StartKind::kOutside: {
            const double spanX = high.x - low.x + 1.0;
            const double spanY = high.y - low.y + 1.0;
            return {clamp(low.x - spanX * (0.25 + unit(random))), clamp(low.y - spanY * 0.5)};
        }
        case StartKind::kOnPoint:
            return points[static_cast<std::size_t>(below(random, static_cast<int>(points.size())))];
    }
    return low;
}

}  // namespace generators

inline GeneratedSet generateSet(const SetSpec& spec) {
    std::mt19937_64 random(spec.seed * 0x9E3779B97F4A7C15ull + static_cast<std::uint64_t>(spec.kind));
    GeneratedSet set;
    const int count = std::max(0, spec.count);
    switch (spec.kind) {
        case SetKind::kUniformDecimals: generators::uniformDecimals(set.points, count, random); break;
        case SetKind::kGrid: generators::grid(set.points, count, random); break;
        case SetKind::kDuplicates: generators::duplicates(set.points, count, random); break;
        case SetKind::kCollinearRuns: generators::collinearRuns(set.points, count, random); break;
        case SetKind::kClusters: generators::clusters(set.points, count, random); break;
        case SetKind::kNearLimit: generators::nearLimit(set.points, count, random); break;
        case SetKind::kLarge: generators::large(set.points, count, random); break;
        case SetKind::kDistanceNearTies: generators::distanceNearTies(set.points, count, random); break;
        case SetKind::kGainNearTies: generators::gainNearTies(set.points, count, random); break;
    }
    set.points.resize(static_cast<std::size_t>(count));
    set.start = generators::startFor(spec.start, set.points, random);
    return set;
}

// A mix of every kind and start kind over the given sizes, `perSize` sets
// per size, seeds counting up from `firstSeed`.
inline std::vector<SetSpec> mixedSpecs(const std::vector<int>& sizes, int perSize, std::uint32_t firstSeed) {
    std::vector<SetSpec> specs;
    std::uint32_t seed = firstSeed;
    constexpr int kinds = static_cast<int>(std::size(kAllSetKinds));
    constexpr int starts = static_cast<int>(std::size(kAllStartKinds));
    for (int size : sizes) {
        for (int i = 0; i < perSize; ++i, ++seed) {
            specs.push_back({kAllSetKinds[seed % kinds], size, seed, kAllStartKinds[(seed / kinds) % starts]});
        }
    }
    return specs;
}

}  // namespace tw::test
