// extendedA: insertion tours over growing segment windows, stopped near the
// lower bound of the path length.
#include <new>
#include <utility>

#include "optimizer/insertion_tours.h"

namespace tw {
namespace {

// Restores segmentWindow however extendedA leaves.
class WindowGuard {
public:
    WindowGuard() : saved_(segmentWindow) {}
    ~WindowGuard() { segmentWindow = saved_; }
    WindowGuard(const WindowGuard&) = delete;
    WindowGuard& operator=(const WindowGuard&) = delete;
    int saved() const { return saved_; }

private:
    int saved_;
};

bool closeToLowerBound(double length) { return length - lengthLowerBound < kLowerBoundTolerance; }

}  // namespace

int extendedA(PathOptimizer& optimizer, int insertOn) {
    if (optimizer.classRecord == nullptr) return 0;
    const WindowGuard window;
    const int lastWindow =
        window.saved() < optimizer.count - 1 ? window.saved() : optimizer.count - 1;
    std::vector<int> startingOrder;
    std::vector<int> bestOrder;
    try {
        startingOrder = optimizer.order;
        bestOrder = optimizer.order;
    } catch (const std::bad_alloc&) {
        return 0;
    }
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
    if (bestLength - lengthLowerBound > kLowerBoundTolerance) {
        bool stop = false;
        for (int w = 1; w <= lastWindow && !stop; ++w) {
            segmentWindow = w;
            if (insertOn != 0) {
                // Each tour starts from the previous one's order; the run
                // ends with the first tour that is not strictly shorter.
                int kept = insertionTour(optimizer, 1);
                while (kept == 1 && !stop) {
                    stop = record();
                    if (!stop) kept = insertionTour(optimizer, 1);
                }
            } else if (insertionTour(optimizer, 0) == 1) {
                stop = record();
            }
            optimizer.order = startingOrder;
        }
    }
    optimizer.order = bestOrder;
    optimizer.length = bestLength;
    return result;
}

}  // namespace tw
