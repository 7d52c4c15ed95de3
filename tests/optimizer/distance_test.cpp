#include "optimizer/distance.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>

namespace tw {
namespace {

// ---------------------------------------------------------------------------
// Exact reference. A result r is correctly rounded for (a, b) when a*a + b*b
// lies between the squares of the midpoints to r's neighbours (on a midpoint
// only when r is even). Everything is compared as exact integers scaled by a
// common power of two, in a small fixed-capacity big natural number.

// 4800 bits: the largest shift is below 4200 bits (squares of values from
// 2^-1126 to 2^1024, scaled to a common exponent) plus a 110-bit product.
constexpr int kLimbs = 150;

struct BigNatural {
    std::uint32_t limb[kLimbs];
    int size = 0;  // limbs in use; limb[size - 1] != 0 unless size == 0
};

// x * y * 2^shift for x, y < 2^56.
BigNatural shiftedProduct(std::uint64_t x, std::uint64_t y, int shift) {
    if (x == 0 || y == 0) return BigNatural{};
    std::uint64_t product[4] = {0, 0, 0, 0};
    const std::uint64_t xs[2] = {x & 0xffffffffu, x >> 32};
    const std::uint64_t ys[2] = {y & 0xffffffffu, y >> 32};
    for (int i = 0; i < 2; ++i) {
        std::uint64_t carry = 0;
        for (int j = 0; j < 2; ++j) {
            const std::uint64_t sum = product[i + j] + xs[i] * ys[j] + carry;
            product[i + j] = sum & 0xffffffffu;
            carry = sum >> 32;
        }
        product[i + 2] += carry;
    }
    BigNatural result;
    const int limbShift = shift / 32;
    const int bitShift = shift % 32;
    std::memset(result.limb, 0, sizeof(std::uint32_t) * static_cast<std::size_t>(limbShift + 5));
    for (int i = 0; i < 4; ++i) {
        const std::uint64_t shifted = product[i] << bitShift;
        result.limb[limbShift + i] |= static_cast<std::uint32_t>(shifted);
        result.limb[limbShift + i + 1] |= static_cast<std::uint32_t>(shifted >> 32);
    }
    result.size = limbShift + 5;
    while (result.size > 0 && result.limb[result.size - 1] == 0) --result.size;
    return result;
}

BigNatural add(const BigNatural& x, const BigNatural& y) {
    BigNatural result;
    const int size = std::max(x.size, y.size);
    std::uint64_t carry = 0;
    for (int i = 0; i < size; ++i) {
        const std::uint64_t sum =
            carry + (i < x.size ? x.limb[i] : 0u) + (i < y.size ? y.limb[i] : 0u);
        result.limb[i] = static_cast<std::uint32_t>(sum);
        carry = sum >> 32;
    }
    result.size = size;
    if (carry != 0) result.limb[result.size++] = static_cast<std::uint32_t>(carry);
    return result;
}

int compare(const BigNatural& x, const BigNatural& y) {
    if (x.size != y.size) return x.size < y.size ? -1 : 1;
    for (int i = x.size - 1; i >= 0; --i) {
        if (x.limb[i] != y.limb[i]) return x.limb[i] < y.limb[i] ? -1 : 1;
    }
    return 0;
}

// value = mantissa * 2^exponent exactly (mantissa 0 for zero).
struct Scaled {
    std::uint64_t mantissa;
    int exponent;
};

Scaled decompose(double value) {
    if (value == 0.0) return {0, 0};
    int exponent = 0;
    const double fraction = std::frexp(value, &exponent);
    return {static_cast<std::uint64_t>(std::ldexp(fraction, 53)), exponent - 53};
}

// Sign of 4 * (a*a + b*b) - (midpointTwice)^2, midpointTwice = K * 2^e.
int compareWithMidpoint(Scaled a, Scaled b, Scaled midpointTwice) {
    int lowest = 2 * midpointTwice.exponent;
    if (a.mantissa != 0) lowest = std::min(lowest, 2 * a.exponent + 2);
    if (b.mantissa != 0) lowest = std::min(lowest, 2 * b.exponent + 2);
    const BigNatural sum = add(shiftedProduct(a.mantissa, a.mantissa, 2 * a.exponent + 2 - lowest),
                               shiftedProduct(b.mantissa, b.mantissa, 2 * b.exponent + 2 - lowest));
    const BigNatural square = shiftedProduct(midpointTwice.mantissa, midpointTwice.mantissa,
                                             2 * midpointTwice.exponent - lowest);
    return compare(sum, square);
}

bool isEven(double value) {
    std::uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return (bits & 1u) == 0;
}

// Twice the midpoint between two adjacent finite doubles below <= above.
Scaled twiceMidpoint(double below, double above) {
    Scaled low = decompose(below);
    const Scaled high = decompose(above);
    if (low.mantissa == 0) low.exponent = high.exponent;
    const int exponent = std::min(low.exponent, high.exponent);
    return {(low.mantissa << (low.exponent - exponent)) + (high.mantissa << (high.exponent - exponent)),
            exponent};
}

bool isCorrectlyRounded(double dx, double dy, double result) {
    const double a = std::fabs(dx);
    const double b = std::fabs(dy);
    if (std::isinf(a) || std::isinf(b)) return std::isinf(result) && result > 0;
    if (std::isnan(a) || std::isnan(b)) return std::isnan(result);
    if (std::isnan(result) || result < 0.0 || std::signbit(result)) return false;
    const Scaled sa = decompose(a);
    const Scaled sb = decompose(b);
    const double largest = std::numeric_limits<double>::max();
    const Scaled sr = decompose(result == largest || std::isinf(result) ? largest : result);
    if (std::isinf(result)) {
        // The midpoint above the largest double rounds to infinity (ties to even).
        return compareWithMidpoint(sa, sb, {2 * sr.mantissa + 1, sr.exponent}) >= 0;
    }
    if (result == 0.0) return a == 0.0 && b == 0.0;
    const bool tieAllowed = isEven(result);
    const int lower = compareWithMidpoint(sa, sb, twiceMidpoint(std::nextafter(result, 0.0), result));
    if (lower < 0 || (lower == 0 && !tieAllowed)) return false;
    const Scaled upperMidpoint = result == largest ? Scaled{2 * sr.mantissa + 1, sr.exponent}
                                                   : twiceMidpoint(result, std::nextafter(result, largest));
    const int upper = compareWithMidpoint(sa, sb, upperMidpoint);
    return upper < 0 || (upper == 0 && tieAllowed);
}

::testing::AssertionResult correctlyRounded(double dx, double dy, double result) {
    if (isCorrectlyRounded(dx, dy, result)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << std::hexfloat << "dx=" << dx << " dy=" << dy << " result=" << result;
}

// The result must not depend on signs or on the order of the operands.
::testing::AssertionResult checkedHypot(double dx, double dy, double* result = nullptr) {
    const double value = exactHypot(dx, dy);
    if (result != nullptr) *result = value;
    const double variants[] = {exactHypot(dy, dx), exactHypot(-dx, dy), exactHypot(dx, -dy),
                               exactHypot(-dy, -dx)};
    for (const double variant : variants) {
        if (std::memcmp(&variant, &value, sizeof value) != 0 && !(std::isnan(value) && std::isnan(variant))) {
            return ::testing::AssertionFailure() << std::hexfloat << "asymmetric for " << dx << ", " << dy;
        }
    }
    return correctlyRounded(dx, dy, value);
}

// Case counts: large enough to hit rare rounding situations (each case is
// checked in five sign and operand orders), small enough for a sanitizer
// build to finish in seconds; optimised builds check four times as many.
#ifdef NDEBUG
constexpr int kCaseScale = 4;
#else
constexpr int kCaseScale = 1;
#endif
constexpr int kRandomCases = 150000 * kCaseScale;
constexpr int kAdversarialCases = 40000 * kCaseScale;

double randomDouble(std::mt19937_64& random, int minExponent, int maxExponent) {
    std::uniform_int_distribution<int> exponent(minExponent, maxExponent);
    const std::uint64_t significand = (random() >> 11) | (std::uint64_t{1} << 52);
    return std::ldexp(static_cast<double>(significand), exponent(random) - 52);
}

// ---------------------------------------------------------------------------

TEST(ExactHypot, SpecialValues) {
    const double infinity = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double largest = std::numeric_limits<double>::max();
    const double tiniest = std::numeric_limits<double>::denorm_min();
    EXPECT_EQ(exactHypot(0.0, 0.0), 0.0);
    EXPECT_FALSE(std::signbit(exactHypot(-0.0, -0.0)));
    EXPECT_EQ(exactHypot(-7.5, 0.0), 7.5);
    EXPECT_EQ(exactHypot(0.0, -tiniest), tiniest);
    EXPECT_EQ(exactHypot(3.0, 4.0), 5.0);
    EXPECT_EQ(exactHypot(-5.0, 12.0), 13.0);
    EXPECT_EQ(exactHypot(infinity, nan), infinity);
    EXPECT_EQ(exactHypot(nan, -infinity), infinity);
    EXPECT_EQ(exactHypot(-infinity, 1.0), infinity);
    EXPECT_TRUE(std::isnan(exactHypot(nan, 1.0)));
    EXPECT_TRUE(std::isnan(exactHypot(0.0, -nan)));
    EXPECT_EQ(exactHypot(largest, largest), infinity);
    EXPECT_EQ(exactHypot(largest, 1.0), largest);
    EXPECT_EQ(exactHypot(tiniest, tiniest), tiniest);  // sqrt(2) * 2^-1074 rounds down
    EXPECT_EQ(exactHypot(3 * tiniest, 4 * tiniest), 5 * tiniest);
    const double hard[][2] = {{largest, largest / 2},    {largest, 0x1p996},  {0x1p1000, 0x1p1000},
                              {tiniest, 2 * tiniest},    {0x1p-1022, 0x1p-1022}, {0x1p-1022, tiniest},
                              {0x1.fffffffffffffp-1023, 0x1.fffffffffffffp-1023}, {1.0, 0x1p-27},
                              {1.0, 0x1p-26},            {1.0, 0x1.8p-26},    {0x1p449, 0x1p449},
                              {0x1p450, 0x1p450},        {0x1p-450, 0x1p-450}, {0x1p-451, 0x1p-449}};
    for (const auto& pair : hard) EXPECT_TRUE(checkedHypot(pair[0], pair[1]));
}

// The reference itself must tell a correctly rounded result from its
// neighbours, or nothing below would mean anything.
TEST(ExactHypot, ReferenceRejectsNeighbours) {
    std::mt19937_64 random(7);
    for (int n = 0; n < 20000; ++n) {
        const double dx = randomDouble(random, -30, 30);
        const double dy = randomDouble(random, -30, 30);
        const double value = exactHypot(dx, dy);
        ASSERT_TRUE(correctlyRounded(dx, dy, value));
        ASSERT_FALSE(isCorrectlyRounded(dx, dy, std::nextafter(value, 0.0)));
        ASSERT_FALSE(isCorrectlyRounded(dx, dy, std::nextafter(value, 1e300)));
    }
}

TEST(ExactHypot, RandomOperandsOfSimilarMagnitude) {
    std::mt19937_64 random(1);
    for (int n = 0; n < kRandomCases; ++n) {
        const int base = static_cast<int>(random() % 200) - 100;
        ASSERT_TRUE(checkedHypot(randomDouble(random, base - 3, base + 3), randomDouble(random, base - 3, base + 3)));
    }
}

TEST(ExactHypot, RandomOperandsOfAnyMagnitude) {
    std::mt19937_64 random(2);
    for (int n = 0; n < kRandomCases / 2; ++n) {
        const double dx = randomDouble(random, -1074, 1023);
        const double dy = randomDouble(random, -1074, 1023);
        ASSERT_TRUE(checkedHypot(dx, dy));
        // the same operands with a nearby exponent
        ASSERT_TRUE(checkedHypot(dx, std::ldexp(dx, -static_cast<int>(random() % 60))));
    }
}

TEST(ExactHypot, SubnormalAndHugeOperands) {
    std::mt19937_64 random(3);
    for (int n = 0; n < kAdversarialCases; ++n) {
        const std::uint64_t bitsX = random() & 0x000fffffffffffffu;
        const std::uint64_t bitsY = (random() >> (random() % 50)) & 0x000fffffffffffffu;
        double dx = 0.0;
        double dy = 0.0;
        std::memcpy(&dx, &bitsX, sizeof dx);
        std::memcpy(&dy, &bitsY, sizeof dy);
        ASSERT_TRUE(checkedHypot(dx, dy));
        ASSERT_TRUE(checkedHypot(dx, std::numeric_limits<double>::min()));
        ASSERT_TRUE(checkedHypot(randomDouble(random, 1000, 1023), randomDouble(random, 970, 1023)));
    }
}

// Drilling coordinates: differences of values with three decimals.
TEST(ExactHypot, DifferencesOfMachiningCoordinates) {
    std::mt19937_64 random(4);
    std::uniform_int_distribution<long> thousandths(-2000000, 2000000);
    for (int n = 0; n < kRandomCases; ++n) {
        const double x1 = static_cast<double>(thousandths(random)) / 1000.0;
        const double x2 = static_cast<double>(thousandths(random)) / 1000.0;
        const double y1 = static_cast<double>(thousandths(random)) / 1000.0;
        const double y2 = static_cast<double>(thousandths(random)) / 1000.0;
        ASSERT_TRUE(checkedHypot(x1 - x2, y1 - y2));
    }
}

// Operands A, B whose root lies exactly on, or a tiny distance from, the
// midpoint M between the doubles M - 1 and M + 1 (M odd, 2^53 < M < 2^54):
// with B = k*u + v, Q = k*u^2 + 2*u*v (+1), A = (Q - k)/2 and M = A + k,
// A^2 + B^2 = M^2 + v^2 (above the midpoint) or, when k = v^2 + w and Q
// carries the +1, M^2 - w (below it); v = 0 gives an exact tie.
struct NearMidpoint {
    double a;
    double b;
    double expected;
    bool tie;
};

bool makeNearMidpoint(std::mt19937_64& random, NearMidpoint& out) {
    const std::uint64_t u = 3 + random() % 4000;
    const std::uint64_t offset = random() % 64;
    const bool below = random() % 2 == 0;
    std::uint64_t k = 0;
    std::uint64_t v = 0;
    std::uint64_t q = 0;
    const double kTarget = std::ldexp(1.0, 54) / static_cast<double>(u * u);
    if (below) {
        const std::uint64_t w = random() % 4096;
        v = static_cast<std::uint64_t>(std::sqrt(kTarget)) + offset - 32;
        k = v * v + w;
        q = k * u * u + 2 * u * v + 1;
        if (w == 0) return false;
    } else {
        v = offset < 8 ? 0 : random() % 64;
        k = static_cast<std::uint64_t>(kTarget) + (random() % 1024) - 512;
        q = k * u * u + 2 * u * v;
    }
    if ((q - k) % 2 != 0) return false;
    const std::uint64_t a = (q - k) / 2;
    const std::uint64_t b = k * u + v;
    const std::uint64_t m = a + k;
    const std::uint64_t limit = std::uint64_t{1} << 53;
    if (m % 2 == 0 || m <= limit || m >= 2 * limit || a >= limit || b >= limit) return false;
    double expected = static_cast<double>(below ? m - 1 : m + 1);
    if (!below && v == 0) expected = static_cast<double>((m + 1) % 4 == 0 ? m + 1 : m - 1);
    out = {static_cast<double>(a), static_cast<double>(b), expected, !below && v == 0};
    return true;
}

TEST(ExactHypot, NearAndExactMidpoints) {
    std::mt19937_64 random(5);
    std::uniform_int_distribution<int> scale(-1000, 960);
    int made = 0;
    int ties = 0;
    while (made < kAdversarialCases) {
        NearMidpoint c;
        if (!makeNearMidpoint(random, c)) continue;
        ++made;
        if (c.tie) ++ties;
        ASSERT_EQ(exactHypot(c.a, c.b), c.expected) << std::hexfloat << c.a << " " << c.b;
        const int e = scale(random);
        ASSERT_EQ(exactHypot(std::ldexp(c.a, e), std::ldexp(c.b, e)), std::ldexp(c.expected, e));
        // Scaled into the subnormal range the 53-bit structure is lost; the
        // reference decides there.
        const int tiny = -1074 - static_cast<int>(random() % 50);
        ASSERT_TRUE(checkedHypot(std::ldexp(c.a, tiny), std::ldexp(c.b, tiny)));
    }
    EXPECT_GT(ties, kAdversarialCases / 20);
}

// Legs of Euclid's triples with an odd hypotenuse between 2^53 and 2^54:
// the root is exactly a midpoint and must round to the even neighbour.
TEST(ExactHypot, PythagoreanTiesRoundToEven) {
    std::mt19937_64 random(6);
    int made = 0;
    while (made < kAdversarialCases / 10) {
        const std::uint64_t m = (std::uint64_t{1} << 26) + random() % (std::uint64_t{1} << 25);
        const std::uint64_t n = random() % m;
        const std::uint64_t hypotenuse = m * m + n * n;
        const std::uint64_t legA = m * m - n * n;
        const std::uint64_t legB = 2 * m * n;
        const std::uint64_t limit = std::uint64_t{1} << 53;
        if (hypotenuse % 2 == 0 || hypotenuse <= limit || hypotenuse >= 2 * limit || legA >= limit ||
            legB >= limit || legA == 0) {
            continue;
        }
        ++made;
        const double expected =
            static_cast<double>((hypotenuse + 1) % 4 == 0 ? hypotenuse + 1 : hypotenuse - 1);
        ASSERT_EQ(exactHypot(static_cast<double>(legA), static_cast<double>(legB)), expected);
        ASSERT_TRUE(checkedHypot(static_cast<double>(legA), static_cast<double>(legB)));
        // Smaller triples are exact and stay exact at every scale.
        const std::uint64_t small = 1 + random() % 4000;
        const std::uint64_t smallN = random() % small;
        const int e = static_cast<int>(random() % 1900) - 1000;
        ASSERT_EQ(exactHypot(std::ldexp(static_cast<double>(small * small - smallN * smallN), e),
                             std::ldexp(static_cast<double>(2 * small * smallN), e)),
                  std::ldexp(static_cast<double>(small * small + smallN * smallN), e));
    }
}

// (ac - bd)^2 + (ad + bc)^2 = (ac + bd)^2 + (ad - bc)^2: the same distance
// reached through different dx, dy gives the same double.
TEST(ExactHypot, EqualDistancesGiveIdenticalResults) {
    std::mt19937_64 random(8);
    for (int n = 0; n < kAdversarialCases; ++n) {
        const int bits = 2 + static_cast<int>(random() % 24);
        const auto draw = [&] { return static_cast<double>(random() >> (64 - bits)); };
        const double a = draw(), b = draw(), c = draw(), d = draw();
        const int e = static_cast<int>(random() % 400) - 200;
        const double first = exactHypot(std::ldexp(a * c - b * d, e), std::ldexp(a * d + b * c, e));
        const double second = exactHypot(std::ldexp(a * c + b * d, e), std::ldexp(a * d - b * c, e));
        ASSERT_EQ(first, second) << a << " " << b << " " << c << " " << d;
        ASSERT_TRUE(correctlyRounded(std::ldexp(a * c - b * d, e), std::ldexp(a * d + b * c, e), first));
    }
}

// The square shortcuts must answer exactly as the hypot would, also for
// radii a few ulps from the distance, at every scale, and for odd operands.
TEST(DistanceComparisons, AgreeWithTheHypotEverywhere) {
    std::mt19937_64 random(17);
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    const auto check = [](double dx, double dy, double radius) {
        const double distance = exactHypot(dx, dy);
        ASSERT_EQ(distanceAbove(dx, dy, radius), distance > radius) << dx << " " << dy << " " << radius;
        ASSERT_EQ(distanceBelow(dx, dy, radius), distance < radius) << dx << " " << dy << " " << radius;
    };
    for (double scale : {1e-320, 1e-200, 1e-161, 1e-158, 1e-140, 1e-9, 1.0, 1e6, 1e140, 1e154, 1e200, 1e300}) {
        for (int trial = 0; trial < 3000; ++trial) {
            const double dx = scale * unit(random);
            const double dy = scale * unit(random) * (trial % 3 == 0 ? 1e-12 : 1.0);
            const double distance = exactHypot(dx, dy);
            double radius = distance;
            const int steps = static_cast<int>(random() % 9) - 4;  // -4 .. 4 ulps
            for (int k = 0; k < std::abs(steps); ++k)
                radius = std::nextafter(radius, steps > 0 ? std::numeric_limits<double>::infinity() : 0.0);
            check(dx, dy, radius);
            check(dx, dy, radius * (1.0 + 2e-9));
            check(dx, dy, radius * (1.0 - 2e-9));
            check(dx, dy, radius * 3.0);
            check(dx, dy, radius / 3.0);
        }
    }
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (double radius : {0.0, -1.0, 1.0, 1e-300, 1e300, inf, nan, 4.9e-324}) {
        for (double d : {0.0, 1.0, -3.0, 1e-310, 1e200, inf, -inf, nan}) {
            check(d, 1.0, radius);
            check(d, 0.0, radius);
            check(d, d, radius);
        }
    }
}

// The cheap bound rules sums out before the hypot is taken, so it must never
// exceed it, at any scale, for odd operands, and where the squares stop
// being trustworthy; and it must stay close, or it rules nothing out.
TEST(DistanceComparisons, LowerBoundNeverExceedsTheHypot) {
    std::mt19937_64 random(29);
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    for (double scale : {1e-320, 1e-200, 1e-141, 1e-140, 1e-139, 1e-9, 1.0, 1e6, 1e139, 1e140, 1e141, 1e200, 1e300}) {
        for (int trial = 0; trial < 20000; ++trial) {
            const double dx = scale * unit(random);
            const double dy = scale * unit(random) * (trial % 3 == 0 ? 1e-12 : 1.0);
            const double bound = hypotLowerBound(dx, dy);
            const double distance = exactHypot(dx, dy);
            ASSERT_LE(bound, distance) << dx << " " << dy;
            if (distance >= 1e-139 && distance <= 1e139) {
                ASSERT_GE(bound, distance * (1.0 - 1e-14)) << dx << " " << dy;
            }
        }
    }
    const double inf = std::numeric_limits<double>::infinity();
    for (double d : {0.0, 1.0, -3.0, 4.9e-324, 1e-310, 1e-140, 1e140, 1e200, 1.7e308, inf, -inf}) {
        for (double e : {0.0, 1.0, -d, d}) {
            ASSERT_LE(hypotLowerBound(d, e), exactHypot(d, e)) << d << " " << e;
        }
    }
    ASSERT_TRUE(std::isnan(hypotLowerBound(std::numeric_limits<double>::quiet_NaN(), 1.0)));
}

}  // namespace
}  // namespace tw
