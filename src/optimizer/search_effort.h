// The effort setting of the near-optimal mode ("searchEffort"): a whole
// number from kMinSearchEffort to kMaxSearchEffort. Effort e buys e * n / 10
// kicks of the iterated search on a contour of n distinct positions (the
// default, 10, one kick per position); the work is counted, never timed, so
// the same effort gives the same order everywhere. Doubling the effort
// roughly doubles the time.
#pragma once

#include <optional>
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

}  // namespace tw
