// The optimize operation: sets the segment window and runs the heuristic
// chosen by the algorithm code.
//
//   code   banner on standard output    steps
//   2      -                            directed tour
//   3      -                            directed tour, crossing removal
//   4      "*****  original  *****"     none: the order stays as read
//   5      -                            insertion tour
//   6      "*****  w matrix  *****"     weight-matrix search
//   7      -                            extendedA, insertion on
//   8      -                            extendedB
//   101    "*****  mixed 1  *****"      directed tour, extendedA insertion off
//   102    "*****  mixed 2  *****"      insertion tour, plain tour
//   103    "*****  mixed 3  *****"      plain tour twice
//   104    "*****  mixed 4  *****"      insertion tour twice
//   11     -                            near-optimal search
//   other  -                            insertion tour (so 1 runs like 5)
//
// Each step applies its own acceptance rule; the next starts from whatever
// order stands.
#include <cstdio>

#include "optimizer/heuristics/crossing_removal.h"
#include "optimizer/engines/engine.h"
#include "optimizer/heuristics/insertion_tours.h"
#include "optimizer/near_optimal/near_optimal.h"
#include "optimizer/heuristics/nearest_tours.h"
#include "optimizer/optimize_codes.h"
#include "optimizer/path_optimizer.h"
#include "optimizer/heuristics/weight_matrix.h"
#include "optimizer/spatial/shared_point_tree.h"

namespace tw {
namespace {

void printBanner(const char* banner) {
    std::fputs(banner, stdout);
    std::fflush(stdout);
}

}  // namespace

void optimizePath(PathOptimizer& optimizer) {
    segmentWindow = windowForCount(optimizer.count);
    // Every tour, pass and engine of this run searches one tree.
    const SharedPointTree sharedTree(optimizer);
    const Tuning tuning = currentTuning();
    switch (optimizer.algorithm) {
        case kAlgorithmNearestDirected:
            directedNearestTour(optimizer);
            break;
        case kAlgorithmNearestDirCross:
            directedNearestTour(optimizer);
            removeCrossings(optimizer);
            break;
        case kAlgorithmOriginal:
            printBanner("*****  original  *****\n");
            break;
        case kAlgorithmWeightMatrix:
            printBanner("*****  w matrix  *****\n");
            weightMatrixSearch(optimizer);
            break;
        case kAlgorithmExtendedA:
            extendedA(optimizer, 1, tuning);
            break;
        case kAlgorithmExtendedB:
            extendedB(optimizer);
            break;
        case kAlgorithmMixed1:
            printBanner("*****  mixed 1  *****\n");
            directedNearestTour(optimizer);
            extendedA(optimizer, 0, tuning);
            break;
        case kAlgorithmMixed2:
            printBanner("*****  mixed 2  *****\n");
            insertionTour(optimizer, 1, tuning);
            nearestTour(optimizer);
            break;
        case kAlgorithmMixed3:
            printBanner("*****  mixed 3  *****\n");
            nearestTour(optimizer);
            nearestTour(optimizer);
            break;
        case kAlgorithmMixed4:
            printBanner("*****  mixed 4  *****\n");
            insertionTour(optimizer, 1, tuning);
            insertionTour(optimizer, 1, tuning);
            break;
        case kAlgorithmNearOptimal:
            nearOptimalPath(optimizer);
            break;
        default:  // kAlgorithmNearest, kAlgorithmInsert and every unknown code
            insertionTour(optimizer, 1, tuning);
            break;
    }
}

}  // namespace tw
