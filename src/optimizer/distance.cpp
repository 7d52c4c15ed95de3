#include "optimizer/distance.h"

#include <cmath>

namespace tw {

// PENDING: the correctly rounded computation is not built yet; the C
// library's hypot stands in until then.
double exactHypot(double dx, double dy) { return std::hypot(dx, dy); }

}  // namespace tw
