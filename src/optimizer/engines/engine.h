// The two engines behind the heuristics, and the tuning values the drivers
// pass down to them.
//
// The reference engine is the literal algorithm: full scans of every point
// and of every gap from the head of the path. The fast engine makes exactly
// the same decisions in the same order, with spatial indexes that skip only
// candidates that provably fail the literal test. The drivers (acceptance,
// restoring, repeated rounds) are written once above both; the module always
// runs the fast engine, and tests select the reference to compare.
#pragma once

#include <memory>
#include <vector>

#include "optimizer/engines/path_list.h"

namespace tw {

enum class EngineKind { kReference, kFast };

// The engine the heuristics use now: kFast unless a test chose otherwise.
EngineKind activeEngine();

// Selects an engine for the lifetime of the scope and restores the previous
// one afterwards (tests only).
class EngineScope {
public:
    explicit EngineScope(EngineKind kind);
    ~EngineScope();
    EngineScope(const EngineScope&) = delete;
    EngineScope& operator=(const EngineScope&) = delete;

private:
    EngineKind saved_;
};

// Values the optimize operation fixes for one run and hands down, instead of
// the passes reading the module-wide values.
struct Tuning {
    int segmentWindow;        // longest segment the segment passes move
    double lengthLowerBound;  // read only by extendedA
};

// The module-wide values as they stand now.
Tuning currentTuning();

enum class TourKind { kPlain, kDirected };

// The visiting sequence of a nearest-neighbour tour from the start point:
// writes order[0 .. count) (points that no scan can choose keep their
// entry). Needs a start point and orderable coordinates.
void buildTour(PathOptimizer& optimizer, TourKind kind, EngineKind engine);

// The path the improvement passes relink, with the passes of one engine.
// Every operation returns what the literal pass returns.
class PathEngine {
public:
    virtual ~PathEngine() = default;

    const PathList& path() const { return list_; }

    // Links the path in the order of `order`.
    virtual void linkInOrder(const std::vector<int>& order) = 0;
    // Builds the path by cheapest insertion of order[1 ..] into order[0].
    virtual void insertAll(const std::vector<int>& order) = 0;

    virtual int twoExchangePass() = 0;
    virtual int relocatePointsPass() = 0;
    virtual int relocateTriplesPass() = 0;
    virtual int relocateSegmentsPass(int length) = 0;

protected:
    explicit PathEngine(const PathOptimizer& optimizer, const std::vector<int>& layout = {})
        : list_(optimizer, layout) {}
    PathList list_;
};

// A path engine of the active kind over the optimizer's points. Throws
// std::bad_alloc when not even the reference engine's nodes fit; the fast
// engine falls back to the reference when its indexes do not.
std::unique_ptr<PathEngine> makePathEngine(const PathOptimizer& optimizer);
std::unique_ptr<PathEngine> makeReferencePathEngine(const PathOptimizer& optimizer);
std::unique_ptr<PathEngine> makeFastPathEngine(const PathOptimizer& optimizer);

// The lower bound of the path length (computeLowerBound) by each engine.
double referenceLowerBound(const PathOptimizer& optimizer);
double fastLowerBound(const PathOptimizer& optimizer);

// The tour sequence by each engine (buildTour dispatches to them).
void referenceTour(PathOptimizer& optimizer, TourKind kind);
void fastTour(PathOptimizer& optimizer, TourKind kind);

}  // namespace tw
