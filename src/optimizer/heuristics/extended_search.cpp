// extendedA: insertion tours over growing segment windows, stopped near the
// lower bound of the path length.
#include <new>

#include "optimizer/heuristics/insertion_tours.h"

namespace tw {

int extendedA(PathOptimizer& optimizer, int insertOn, const Tuning& tuning) {
    if (optimizer.classRecord == nullptr) return 0;
    const int lastWindow =
        tuning.segmentWindow < optimizer.count - 1 ? tuning.segmentWindow : optimizer.count - 1;
    std::vector<int> startingOrder;
    std::vector<int> bestOrder;
    try {
        startingOrder = optimizer.order;
        bestOrder = optimizer.order;
    } catch (const std::bad_alloc&) {
        return 0;
    }
    const auto closeToLowerBound = [&tuning](double length) {
        return length - tuning.lengthLowerBound < kLowerBoundTolerance;
    };
    computeLength(optimizer);
    double bestLength = optimizer.length;
    int result = 0;
    // Records the order standing now when it beats the best by the margin;
    // true when the search may stop.
    auto record = [&]() {
        if (bestLength - kMoveMargin > optimizer.length) {
            bestOrder = optimizer.order;  // same size: no allocation
            bestLength = optimizer.length;
            result = 1;
            return closeToLowerBound(bestLength);
        }
        return false;
    };
    if (bestLength - tuning.lengthLowerBound > kLowerBoundTolerance) {
        bool stop = false;
        for (int w = 1; w <= lastWindow && !stop; ++w) {
            const Tuning windowed{w, tuning.lengthLowerBound};
            if (insertOn != 0) {
                // Each tour starts from the previous one's order; the run
                // ends with the first tour that is not strictly shorter.
                int kept = insertionTour(optimizer, 1, windowed);
                while (kept == 1 && !stop) {
                    stop = record();
                    if (!stop) kept = insertionTour(optimizer, 1, windowed);
                }
            } else if (insertionTour(optimizer, 0, windowed) == 1) {
                stop = record();
            }
            optimizer.order = startingOrder;
        }
    }
    optimizer.order = bestOrder;
    optimizer.length = bestLength;
    return result;
}

int extendedA(PathOptimizer& optimizer, int insertOn) {
    return extendedA(optimizer, insertOn, currentTuning());
}

}  // namespace tw
