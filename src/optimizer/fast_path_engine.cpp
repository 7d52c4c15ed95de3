// The fast engine's path passes.
#include "optimizer/engine.h"

namespace tw {

std::unique_ptr<PathEngine> makeFastPathEngine(const PathOptimizer& optimizer) {
    return makeReferencePathEngine(optimizer);
}

}  // namespace tw
