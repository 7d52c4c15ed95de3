#include "optimizer/engines/engine.h"

#include <new>

namespace tw {
namespace {

EngineKind selectedEngine = EngineKind::kFast;

}  // namespace

EngineKind activeEngine() { return selectedEngine; }

EngineScope::EngineScope(EngineKind kind) : saved_(selectedEngine) { selectedEngine = kind; }
EngineScope::~EngineScope() { selectedEngine = saved_; }

Tuning currentTuning() { return Tuning{segmentWindow, lengthLowerBound}; }

void buildTour(PathOptimizer& optimizer, TourKind kind, EngineKind engine) {
    if (engine == EngineKind::kFast) {
        try {
            fastTour(optimizer, kind);
            return;
        } catch (const std::bad_alloc&) {
            // The reference needs no working memory beyond the marks the
            // caller already holds; it gives the same sequence.
        }
    }
    referenceTour(optimizer, kind);
}

std::unique_ptr<PathEngine> makePathEngine(const PathOptimizer& optimizer) {
    if (activeEngine() == EngineKind::kFast) {
        try {
            return makeFastPathEngine(optimizer);
        } catch (const std::bad_alloc&) {
        }
    }
    return makeReferencePathEngine(optimizer);
}

}  // namespace tw
