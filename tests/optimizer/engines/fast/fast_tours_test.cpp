// The fast engine's tours and lower bound against the literal scans: the
// same order and the same bits on seeded sets built to hit exact ties,
// near-ties at the tolerance and long chains of near-tie resets.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "optimizer/engines/engine.h"
#include "optimizer/heuristics/nearest_tours.h"
#include "optimizer/optimizer_test_support.h"

namespace tw {
namespace {

using test::makeOptimizer;
using test::OptimizerHandle;
using test::XY;

// Optimised builds check more and larger sets; sanitizer builds stay quick.
#ifdef NDEBUG
constexpr int kSeedsPerCount = 12;
constexpr int kLargestCount = 3000;
#else
constexpr int kSeedsPerCount = 2;
constexpr int kLargestCount = 400;
#endif

constexpr double kTolerance = kDirectedTieTolerance;

enum class Family {
    kFewDecimals,  // uniform, one or two decimals
    kTinyGrid,     // integer grid with many points per cell: exact ties
    kDuplicates,
    kCollinear,
    kClusters,
    kHuge,            // coordinates up to the accepted limit
    kToleranceSteps,  // a line whose gaps are the tolerance, one ulp off
    kResetChain,      // radii falling by just under the tolerance
    kRings,           // concentric rings around a few centres
    kExactTolerance,  // tiny distances that differ by exactly the tolerance
};

constexpr Family kFamilies[] = {Family::kFewDecimals,    Family::kTinyGrid,   Family::kDuplicates,
                                Family::kCollinear,      Family::kClusters,   Family::kHuge,
                                Family::kToleranceSteps, Family::kResetChain, Family::kRings,
                                Family::kExactTolerance};

// Gaps around the tolerance: on it, one ulp either side, a little either
// side, and well inside.
double toleranceGap(std::mt19937& random) {
    const double gaps[] = {kTolerance,
                           std::nextafter(kTolerance, 0.0),
                           std::nextafter(kTolerance, 1.0),
                           kTolerance * 0.9999,
                           kTolerance * 1.0001,
                           kTolerance * 0.5,
                           2 * kTolerance,
                           0.0};
    return gaps[random() % std::size(gaps)];
}

struct Set {
    std::vector<XY> points;
    XY start;
};

Set makeSet(Family family, int count, std::uint32_t seed) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    Set set{{}, {0.0, 0.0}};
    auto& points = set.points;
    switch (family) {
        case Family::kFewDecimals: {
            const double scale = seed % 2 == 0 ? 10.0 : 100.0;
            for (int i = 0; i < count; ++i) {
                points.push_back({std::round(unit(random) * 100.0 * scale) / scale,
                                  std::round(unit(random) * 100.0 * scale) / scale});
            }
            set.start = {-1.5, 40.0};
            break;
        }
        case Family::kTinyGrid: {
            const int side = 2 + static_cast<int>(seed % 9);
            for (int i = 0; i < count; ++i) {
                points.push_back(
                    {static_cast<double>(random() % side), static_cast<double>(random() % side)});
            }
            set.start = {static_cast<double>(side / 2), 0.0};
            break;
        }
        case Family::kDuplicates:
            points = test::seededPoints(test::Shape::kDuplicates, count, seed);
            break;
        case Family::kCollinear:
            points = test::seededPoints(test::Shape::kCollinear, count, seed);
            set.start = {50.0, 3.5};
            break;
        case Family::kClusters:
            points = test::seededPoints(test::Shape::kClustered, count, seed);
            break;
        case Family::kHuge:
            for (int i = 0; i < count; ++i) {
                const double x =
                    random() % 5 == 0 ? kMaxCoordinate : (2 * unit(random) - 1) * kMaxCoordinate;
                const double y =
                    random() % 5 == 0 ? -kMaxCoordinate : (2 * unit(random) - 1) * kMaxCoordinate;
                points.push_back({x, y});
            }
            set.start = {kMaxCoordinate, kMaxCoordinate};
            break;
        case Family::kToleranceSteps: {
            // A few parallel lines; along each, gaps on the tolerance. Some
            // sets store the points back to front.
            const int lines = 1 + static_cast<int>(seed % 3);
            std::vector<double> along(static_cast<std::size_t>(lines), 10.0);
            for (int i = 0; i < count; ++i) {
                const int line = static_cast<int>(random() % lines);
                along[static_cast<std::size_t>(line)] += toleranceGap(random);
                points.push_back(
                    {along[static_cast<std::size_t>(line)], line * (kTolerance * 1.5)});
            }
            if (seed % 2 == 0) std::reverse(points.begin(), points.end());
            set.start = {10.0 - unit(random), 0.0};
            break;
        }
        case Family::kResetChain: {
            // Exact distances from the start (axis points and 3-4-5
            // multiples), falling in storage order by just under the
            // tolerance most of the time, so the literal scan alternates
            // near-ties and resets all the way down.
            double radius = 1.0 + count * kTolerance;
            for (int i = 0; i < count; ++i) {
                const double step = random() % 4 == 0 ? toleranceGap(random) : kTolerance * 0.9999;
                radius -= step;
                switch (random() % 5) {
                    case 0: points.push_back({radius, 0.0}); break;
                    case 1: points.push_back({0.0, radius}); break;
                    case 2: points.push_back({-radius, 0.0}); break;
                    case 3: points.push_back({0.0, -radius}); break;
                    default: points.push_back({radius * 0.6, radius * 0.8}); break;
                }
            }
            break;
        }
        case Family::kRings: {
            const XY centres[] = {{0, 0}, {3, 1}, {-2, 5}};
            for (int i = 0; i < count; ++i) {
                const XY centre = centres[random() % 3];
                const double radius =
                    1.0 + (random() % 6) * kTolerance + (random() % 3 - 1) * 1e-16;
                const double angle = unit(random) * 6.283185307179586;
                points.push_back(
                    {centre.x + radius * std::cos(angle), centre.y + radius * std::sin(angle)});
            }
            // Decreasing distance from the first centre in storage order
            // makes long reset chains there.
            if (seed % 2 == 0) {
                std::sort(points.begin(), points.end(), [](const XY& a, const XY& b) {
                    return std::hypot(a.x, a.y) > std::hypot(b.x, b.y);
                });
            }
            break;
        }
        case Family::kExactTolerance: {
            // Below 2^-7 the doubles are spaced finely enough that a
            // difference can round to the tolerance exactly (and one ulp
            // either side of it), so the strictness of every near-tie
            // comparison shows. Axis points keep the distances exact.
            std::uniform_int_distribution<std::int64_t> offset(0, std::int64_t{1} << 48);
            std::vector<double> bases;
            for (int b = 0; b < 3; ++b)
                bases.push_back(std::ldexp(static_cast<double>(offset(random)), -60));
            const double ulp = 0x1p-60;
            const double shifts[] = {0.0,
                                     kTolerance,
                                     kTolerance - ulp,
                                     kTolerance + ulp,
                                     2 * kTolerance,
                                     0.5 * kTolerance};
            for (int i = 0; i < count; ++i) {
                const double r =
                    bases[random() % bases.size()] + shifts[random() % std::size(shifts)];
                switch (random() % 4) {
                    case 0: points.push_back({r, 0.0}); break;
                    case 1: points.push_back({0.0, r}); break;
                    case 2: points.push_back({-r, 0.0}); break;
                    default: points.push_back({0.0, -r}); break;
                }
            }
            if (seed % 2 == 0) {
                std::sort(points.begin(), points.end(), [](const XY& a, const XY& b) {
                    return std::fabs(a.x) + std::fabs(a.y) > std::fabs(b.x) + std::fabs(b.y);
                });
            }
            break;
        }
    }
    return set;
}

std::vector<int> tourOrder(const Set& set, TourKind kind, EngineKind engine) {
    OptimizerHandle optimizer = makeOptimizer(set.points, set.start);
    if (engine == EngineKind::kFast) {
        fastTour(*optimizer, kind);
    } else {
        referenceTour(*optimizer, kind);
    }
    return optimizer->order;
}

std::uint64_t bits(double value) { return std::bit_cast<std::uint64_t>(value); }

std::uint64_t lowerBoundBits(const std::vector<XY>& points, EngineKind engine) {
    OptimizerHandle optimizer = makeOptimizer(points);
    return bits(engine == EngineKind::kFast ? fastLowerBound(*optimizer)
                                            : referenceLowerBound(*optimizer));
}

std::string describe(Family family, int count, std::uint32_t seed) {
    return "family " + std::to_string(static_cast<int>(family)) + " count " +
           std::to_string(count) + " seed " + std::to_string(seed);
}

// Checks one set; returns false after the first difference so that a
// broken engine reports a handful of cases, not thousands.
bool sameAsReference(const Set& set, const std::string& where) {
    for (const TourKind kind : {TourKind::kPlain, TourKind::kDirected}) {
        const std::vector<int> expected = tourOrder(set, kind, EngineKind::kReference);
        const std::vector<int> actual = tourOrder(set, kind, EngineKind::kFast);
        if (actual != expected) {
            ADD_FAILURE() << where << (kind == TourKind::kPlain ? " plain" : " directed")
                          << " tour differs";
            return false;
        }
    }
    const std::uint64_t expected = lowerBoundBits(set.points, EngineKind::kReference);
    if (lowerBoundBits(set.points, EngineKind::kFast) != expected) {
        ADD_FAILURE() << where << " lower bound differs";
        return false;
    }
    return true;
}

TEST(FastTours, SameOrdersAndBoundsAsTheLiteralScans) {
    const int counts[] = {1, 2, 3, 4, 7, 9, 16, 17, 40, 100, 250};
    int failures = 0;
    for (const Family family : kFamilies) {
        for (const int count : counts) {
            for (int s = 0; s < kSeedsPerCount; ++s) {
                const auto seed = static_cast<std::uint32_t>(1000 * count + s);
                if (!sameAsReference(makeSet(family, count, seed), describe(family, count, seed))) {
                    if (++failures == 5) return;
                }
            }
        }
    }
}

TEST(FastTours, SameOrdersAndBoundsOnLargeSets) {
    int failures = 0;
    for (const Family family : kFamilies) {
        for (const int count : {kLargestCount / 3, kLargestCount}) {
            const auto seed = static_cast<std::uint32_t>(count + static_cast<int>(family));
            if (!sameAsReference(makeSet(family, count, seed), describe(family, count, seed))) {
                if (++failures == 3) return;
            }
        }
    }
}

TEST(FastTours, DirectedChainAtTheToleranceFromTheStart) {
    // Distances from the start 5, 5 - tol, 5 - tol - tol(-ulp), ... stored
    // in decreasing order: which of them the first step takes depends on
    // every link of the chain.
    for (const double step : {kTolerance, std::nextafter(kTolerance, 0.0),
                              std::nextafter(kTolerance, 1.0), kTolerance * 0.75}) {
        for (int length = 1; length <= 12; ++length) {
            Set set{{}, {0.0, 0.0}};
            double radius = 5.0;
            for (int i = 0; i < length; ++i) {
                set.points.push_back(i % 2 == 0 ? XY{radius, 0.0} : XY{0.0, -radius});
                radius -= step;
            }
            // A far point keeps the set from being one line.
            set.points.push_back({40.0, 40.0});
            EXPECT_TRUE(sameAsReference(
                set, "step " + std::to_string(step) + " length " + std::to_string(length)));
        }
    }
}

TEST(FastTours, LowerBoundBitsOnEveryInput) {
    constexpr double kInf = std::numeric_limits<double>::infinity();
    const double kNaN = std::numeric_limits<double>::quiet_NaN();
    const std::vector<std::vector<XY>> inputs = {
        {},
        {{1, 2}},
        {{1, 2}, {1, 2}},
        {{0, 0}, {3, 4}},
        {{0, 0}, {kNaN, 1}, {2, 2}},
        {{0, 0}, {kInf, 1}, {2, 2}, {-kInf, -kInf}},
        {{1e300, 0}, {-1e300, 0}, {0, 1e300}},
        {{kMaxCoordinate, kMaxCoordinate}, {-kMaxCoordinate, -kMaxCoordinate}, {0, 0}},
        {{std::nextafter(kMaxCoordinate, kInf), 0}, {0, 0}, {1, 1}},
        {{5e-324, 0}, {0, 5e-324}, {0, 0}, {1e-310, 1e-310}},
        {{1e-200, 0}, {0, 1e-200}, {3e-200, 4e-200}},
    };
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        EXPECT_EQ(lowerBoundBits(inputs[i], EngineKind::kFast),
                  lowerBoundBits(inputs[i], EngineKind::kReference))
            << "input " << i;
    }
}

TEST(FastTours, ToursThroughTheSeamMatchWithEitherEngine) {
    // The drivers' accept/restore on top: same result and order.
    for (const Family family : kFamilies) {
        const Set set = makeSet(family, 60, 77);
        for (const auto tour : {&nearestTour, &directedNearestTour}) {
            OptimizerHandle fast = makeOptimizer(set.points, set.start);
            OptimizerHandle reference = makeOptimizer(set.points, set.start);
            int fastResult = 0;
            int referenceResult = 0;
            {
                const EngineScope scope(EngineKind::kFast);
                fastResult = tour(*fast);
            }
            {
                const EngineScope scope(EngineKind::kReference);
                referenceResult = tour(*reference);
            }
            EXPECT_EQ(fastResult, referenceResult) << static_cast<int>(family);
            EXPECT_EQ(fast->order, reference->order) << static_cast<int>(family);
            EXPECT_EQ(bits(fast->length), bits(reference->length)) << static_cast<int>(family);
        }
    }
}

}  // namespace
}  // namespace tw
