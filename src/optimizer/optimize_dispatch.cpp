// The optimize operation: chooses the heuristic by algorithm code.
#include <cstdio>

#include "optimizer/path_optimizer.h"
#include "optimizer/weight_matrix.h"

namespace tw {

// PENDING: only the codes without a tour of their own are dispatched yet.
void optimizePath(PathOptimizer& optimizer) {
    segmentWindow = windowForCount(optimizer.count);
    switch (optimizer.algorithm) {
        case 4:
            std::fputs("*****  original  *****\n", stdout);
            break;
        case 6:
            std::fputs("*****  w matrix  *****\n", stdout);
            weightMatrixSearch(optimizer);
            break;
        default:
            break;
    }
}

}  // namespace tw
