// The effort setting of the near-optimal mode ("searchEffort"): a whole
// number from kMinSearchEffort to kMaxSearchEffort, default 10. After the
// first local search, effort e lets the kicks do e * 10,000 counted steps per
// distinct position of the contour (a step is a candidate examined or a node
// moved by a reversal). The work is counted, never timed, so the same effort
// gives the same order everywhere; the time grows about linearly with it.
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

}  // namespace tw
