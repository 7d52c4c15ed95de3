#include "optimizer/weight_matrix.h"

namespace tw {

// PENDING: the search is not built yet; the order stays as it is.
int weightMatrixSearch(PathOptimizer&) { return 1; }

}  // namespace tw
