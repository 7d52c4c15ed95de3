#include "optimizer/distance.h"

#include <bit>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <utility>

// Every step below assumes that each double operation is rounded once, to
// double: no x87 extended intermediates and no fused multiply-add.
#if defined(FLT_EVAL_METHOD) && FLT_EVAL_METHOD != 0 && FLT_EVAL_METHOD != -1
#error "exactHypot needs double evaluation (FLT_EVAL_METHOD 0): build with -msse2 -mfpmath=sse"
#endif

namespace tw {
namespace {

// How it works
// ------------
// For a >= b > 0 in the comfortable range, a*a and b*b are formed exactly as
// double-double values (Dekker's product with Veltkamp splitting, no FMA),
// their sum is rounded to a double-double s, and r = sqrt(hi(s)) is refined
// by one Newton correction d ~ (s - r*r) / (2r). The true root is r + delta
// with |delta - d| < r * 2^-101. If rounding r + d - bound and r + d + bound
// (bound = r * 2^-96) gives the same double, that double is the correctly
// rounded root. Otherwise the root lies next to the midpoint m between two
// adjacent doubles, and the sign of the exact value m*m - (a*a + b*b),
// summed as an error-free expansion, decides (an exact tie rounds to even).
//
// Outside the comfortable range the operands are scaled by a power of two
// (exact), or b is negligible, or both are subnormal, in which case the root
// is rounded to an integer multiple of the smallest subnormal directly.

constexpr double kSplitter = 134217729.0;  // 2^27 + 1, Veltkamp's constant

// Range in which squares, their error terms and the tie terms neither
// overflow nor underflow: 2^-450 <= b <= a < 2^450.
constexpr double kLowerPlainLimit = 0x1p-450;
constexpr double kUpperPlainLimit = 0x1p450;

// Relative width of the uncertainty interval around r + d; the error of the
// correction is below r * 2^-101, so 2^-96 leaves a margin of 32.
constexpr double kCorrectionBound = 0x1p-96;

// When b < 2^(exponent(a) - 26), b*b / (2a) stays below half an ulp of a,
// so the root rounds to a.
constexpr int kNegligibleExponentGap = 27;

constexpr double kSmallestSubnormal = 0x1p-1074;
constexpr double kHalfSubnormalScale = 0x1p537;  // 2^1074 = (2^537)^2
constexpr double kSmallestNormal = DBL_MIN;
constexpr double kSubnormalIntegerLimit = 0x1p52;  // below: subnormal result

struct DoubleDouble {
    double high;
    double low;
};

DoubleDouble twoSum(double a, double b) {
    const double sum = a + b;
    const double bPart = sum - a;
    const double error = (a - (sum - bPart)) + (b - bPart);
    return {sum, error};
}

DoubleDouble split(double a) {
    const double scaled = kSplitter * a;
    const double high = scaled - (scaled - a);
    return {high, a - high};
}

DoubleDouble twoProduct(double a, double b) {
    const double product = a * b;
    const DoubleDouble as = split(a);
    const DoubleDouble bs = split(b);
    const double error =
        ((as.high * bs.high - product) + as.high * bs.low + as.low * bs.high) + as.low * bs.low;
    return {product, error};
}

// Sign (-1, 0, 1) of the exact sum of the terms. The terms are accumulated
// into a nonoverlapping expansion (Shewchuk's grow-expansion with zero
// elimination); its largest component carries the sign of the whole sum.
template <std::size_t N>
int exactSumSign(const double (&terms)[N]) {
    double expansion[N];
    std::size_t length = 0;
    for (const double term : terms) {
        double carry = term;
        std::size_t kept = 0;
        for (std::size_t i = 0; i < length; ++i) {
            const DoubleDouble step = twoSum(carry, expansion[i]);
            carry = step.high;
            if (step.low != 0.0) expansion[kept++] = step.low;
        }
        if (carry != 0.0) expansion[kept++] = carry;
        length = kept;
    }
    if (length == 0) return 0;
    return expansion[length - 1] > 0.0 ? 1 : -1;
}

std::uint64_t bitsOf(double value) {
    std::uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

bool hasEvenSignificand(double value) { return (bitsOf(value) & 1u) == 0; }

// floor(log2(value)) for a finite value > 0, subnormals included.
int binaryExponent(double value) {
    const std::uint64_t bits = bitsOf(value);
    const int biased = static_cast<int>(bits >> 52);
    if (biased != 0) return biased - 1023;
    return -1075 + static_cast<int>(std::bit_width(bits));
}

// 2^exponent for -1074 <= exponent <= 1023, built from its bits.
double powerOfTwo(int exponent) {
    const std::uint64_t bits = exponent >= -1022
                                   ? static_cast<std::uint64_t>(exponent + 1023) << 52
                                   : std::uint64_t{1} << (exponent + 1074);
    double value = 0.0;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// below and above are adjacent doubles with the root between them; returns
// the one nearer to sqrt(aa + bb), the even one on an exact tie.
double nearerNeighbour(double below, double above, DoubleDouble aa, DoubleDouble bb) {
    // m = below + gap/2, so m*m = below^2 + below*gap + gap^2/4; every term
    // is exact because gap is a power of two.
    const double gap = above - below;
    const DoubleDouble belowSquared = twoProduct(below, below);
    const double terms[] = {belowSquared.low, belowSquared.high, below * gap, gap * gap * 0.25,
                            -aa.low, -aa.high, -bb.low, -bb.high};
    const int sign = exactSumSign(terms);
    if (sign > 0) return below;
    if (sign < 0) return above;
    return hasEvenSignificand(below) ? below : above;
}

// Correctly rounded sqrt(a*a + b*b) for kLowerPlainLimit <= b <= a < kUpperPlainLimit.
double plainRangeHypot(double a, double b) {
    const DoubleDouble aa = twoProduct(a, a);
    const DoubleDouble bb = twoProduct(b, b);
    const DoubleDouble highSum = twoSum(aa.high, bb.high);
    const double lowSum = (highSum.low + aa.low) + bb.low;
    const double sumHigh = highSum.high + lowSum;
    const double sumLow = lowSum - (sumHigh - highSum.high);

    const double root = std::sqrt(sumHigh);
    const DoubleDouble rootSquared = twoProduct(root, root);
    const double residual = ((sumHigh - rootSquared.high) - rootSquared.low) + sumLow;
    const double correction = residual / (2.0 * root);
    const double bound = root * kCorrectionBound;
    const double below = root + (correction - bound);
    const double above = root + (correction + bound);
    if (below == above) return below;
    return nearerNeighbour(below, above, aa, bb);
}

// Both operands subnormal (b > 0): they are integer multiples A, B of the
// smallest subnormal, and the result is the nearest integer multiple of it to
// sqrt(A*A + B*B) (never a tie: the root of an integer is no half-integer).
double subnormalHypot(double a, double b) {
    const double wholeA = a * kHalfSubnormalScale * kHalfSubnormalScale;
    const double wholeB = b * kHalfSubnormalScale * kHalfSubnormalScale;
    const double root = plainRangeHypot(wholeA, wholeB);
    if (root >= kSubnormalIntegerLimit) return root * kSmallestSubnormal;
    // root is the nearest 53-bit value, and below 2^52 that grid holds every
    // half-integer, so rounding it to an integer is right unless it is one.
    double whole = std::floor(root);
    const double fraction = root - whole;
    if (fraction > 0.5) {
        whole += 1.0;
    } else if (fraction == 0.5) {
        // sqrt(N) > whole + 1/2  <=>  N > whole^2 + whole  (N an integer)
        const DoubleDouble aa = twoProduct(wholeA, wholeA);
        const DoubleDouble bb = twoProduct(wholeB, wholeB);
        const DoubleDouble ww = twoProduct(whole, whole);
        const double terms[] = {aa.low, aa.high, bb.low, bb.high, -ww.low, -ww.high, -whole};
        if (exactSumSign(terms) > 0) whole += 1.0;
    }
    return whole * kSmallestSubnormal;
}

// b > 0 and at least one operand outside the plain range.
double outsidePlainRangeHypot(double a, double b) {
    const int exponentA = binaryExponent(a);
    if (exponentA - binaryExponent(b) >= kNegligibleExponentGap) return a;
    if (a < kSmallestNormal) return subnormalHypot(a, b);
    // Both products with 2^-exponentA are exact (a normal, b/a >= 2^-27), and
    // so is the product scaling the result back unless it overflows, when
    // infinity is the correctly rounded result.
    const double down = powerOfTwo(-exponentA);
    const double root = plainRangeHypot(a * down, b * down);
    return root * powerOfTwo(exponentA);
}

}  // namespace

double exactHypot(double dx, double dy) {
    double a = std::fabs(dx);
    double b = std::fabs(dy);
    if (std::isinf(a) || std::isinf(b)) return std::numeric_limits<double>::infinity();
    if (std::isnan(a) || std::isnan(b)) return std::numeric_limits<double>::quiet_NaN();
    if (a < b) std::swap(a, b);
    if (b == 0.0) return a;
    if (a < kUpperPlainLimit && b >= kLowerPlainLimit) return plainRangeHypot(a, b);
    return outsidePlainRangeHypot(a, b);
}

}  // namespace tw
