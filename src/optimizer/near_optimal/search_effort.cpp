#include "optimizer/near_optimal/search_effort.h"

namespace tw {

int searchEffort = kDefaultSearchEffort;

int parseSearchEffort(std::string_view text) {
    auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    std::size_t i = 0;
    while (i < text.size() && blank(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    const std::size_t digitsStart = i;
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        // Saturates long before overflow: anything above the range clamps.
        if (value <= kMaxSearchEffort) value = value * 10 + (text[i] - '0');
    }
    if (i == digitsStart) return kDefaultSearchEffort;
    while (i < text.size() && blank(text[i])) ++i;
    if (i != text.size()) return kDefaultSearchEffort;
    if (negative && value != 0) return kMinSearchEffort;
    if (value < kMinSearchEffort) return kMinSearchEffort;
    if (value > kMaxSearchEffort) return kMaxSearchEffort;
    return static_cast<int>(value);
}

namespace nearopt {

long long integerSquareRoot(long long value) {
    long long root = 0;
    for (long long bit = 1LL << 30; bit > 0; bit >>= 1) {
        if ((root + bit) * (root + bit) <= value) root += bit;
    }
    return root;
}

long long kickWork(long long positions, int effort, long long perPosition) {
    // Kicks cost more on large sets, where reversals are longer, and improve
    // less per step: beyond kFullWorkPositions the positions that count grow
    // as the square root of the set's size.
    const long long counted =
        positions <= kFullWorkPositions ? positions : integerSquareRoot(positions * kFullWorkPositions);
    return static_cast<long long>(effort) * counted * perPosition;
}

KickPlan planKicks(long long positions, int effort, bool twoLevel) {
    if (twoLevel) return {1, 0, kickWork(positions, effort, kTwoLevelKickWorkPerPosition)};
    const long long budget = kickWork(positions, effort, kKickWorkPerPosition);
    if (positions >= kAttemptPositions) return {1, 0, kSingleSearchFactor * budget};
    return {kAttempts, budget / 1000 * kTrialPerMille, budget / 1000 * kRestPerMille};
}

}  // namespace nearopt
}  // namespace tw
