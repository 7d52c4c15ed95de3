// The plane distance used by every heuristic.
#pragma once

namespace tw {

// sqrt(dx*dx + dy*dy), correctly rounded: the double nearest to the exact
// value, identical on every platform (unlike the C library's hypot).
double exactHypot(double dx, double dy);

}  // namespace tw
