// The path optimizer object: one point set, an optional start point and the
// order in which the points are visited, plus the class record whose
// operation table every caller goes through.
//
// Ownership: `optimizerCreate` returns an object owned by the caller, who
// releases it with `optimizerDestroy` (the cycle record keeps it as a plain
// pointer because the host sees that record). Everything inside the object
// is owned by it.
//
// Every heuristic only permutes `order`; `points` keeps the storage order in
// which the points were added. All distances are plane distances of x and y
// computed by `exactHypot`.
//
// Cost: storing points and computeLength are linear; the lower bound and
// every heuristic are at least quadratic in the number of points (the tours
// scan all points per position, the improvement passes try every gap per
// point, the two-exchange pass restarts after each reversal). A set of a
// million points is stored and measured quickly, but optimizing it takes
// hours; it terminates and needs memory linear in the count.
#pragma once

#include <cstdio>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "optimizer/distance.h"

namespace tw {

// Longest point or start-point name kept; longer names are cut.
inline constexpr std::size_t kPointNameLength = 14;

// Largest number of points one optimizer holds. It keeps `count` and the
// node block of `count` + 2 nodes inside int range; an `addPoint` beyond it
// is treated like a failed allocation.
inline constexpr int kMaxPointCount = std::numeric_limits<int>::max() / 2;

// One point of the set. `surface` and `depth` are carried along for the
// output writer; no heuristic reads them.
struct OptimizerPoint {
    std::string name;  // at most kPointNameLength characters, empty for none
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
    double surface = 0.0;
    double depth = 0.0;
};

// The fixed position the path starts from; it is not one of the points.
struct StartPoint {
    std::string name;  // at most kPointNameLength characters
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
};

struct OptimizerClass;

}  // namespace tw

// The optimizer object. It lives at global scope because the public C header
// forward-declares `struct PathOptimizer` for the cycle record.
struct PathOptimizer {
    std::optional<std::string> name;  // absent when created without one
    tw::OptimizerClass* classRecord = nullptr;
    int algorithm = 0;  // algorithm code chosen by the creator
    int count = 0;      // number of points; equals points.size() and order.size()
    std::vector<tw::OptimizerPoint> points;  // storage order, never reordered
    std::vector<int> order;  // order[k] = storage index visited at path position k
    int hasStartPoint = 0;
    tw::StartPoint startPoint;
    int lengthValid = 0;  // 1 when `length` matches the current points and start
    double length = 0.0;
};

namespace tw {

// The class record: its name, parent, initialised flag and ten operations in
// their fixed slot order. Operations return 1 for success, 0 otherwise.
struct OptimizerClass {
    const char* className;
    OptimizerClass* parent;
    int initialised;
    int (*classInit)(OptimizerClass* classRecord);
    PathOptimizer* (*create)(OptimizerClass* classRecord, const char* name);
    int (*reset)(PathOptimizer* optimizer);
    int (*destroy)(PathOptimizer* optimizer);
    int (*addPoint)(PathOptimizer* optimizer, const char* name, double x, double y, double z,
                    double surface, double depth);
    int (*setStartPoint)(PathOptimizer* optimizer, const char* name, double x, double y,
                         double z);
    int (*clearStartPoint)(PathOptimizer* optimizer);
    int (*computeLength)(PathOptimizer* optimizer);
    int (*optimize)(PathOptimizer* optimizer);
    int (*write)(PathOptimizer* optimizer, std::FILE* file, int mode);
};

// The one class record of the standard optimizer (already initialised).
extern OptimizerClass StandardPathOptimizer;

// Null-safe call wrappers. A null object, or one without class record (or a
// null class record for the first two), makes the call a no-op yielding 0
// (null for optimizerCreate). None of them throws.
int optimizerClassInit(OptimizerClass* classRecord);
PathOptimizer* optimizerCreate(OptimizerClass* classRecord, const char* name);
int optimizerReset(PathOptimizer* optimizer);
int optimizerDestroy(PathOptimizer* optimizer);
int optimizerAddPoint(PathOptimizer* optimizer, const char* name, double x, double y, double z,
                      double surface, double depth);
int optimizerSetStartPoint(PathOptimizer* optimizer, const char* name, double x, double y,
                           double z);
int optimizerClearStartPoint(PathOptimizer* optimizer);
int optimizerComputeLength(PathOptimizer* optimizer);
int optimizerOptimize(PathOptimizer* optimizer);
int optimizerWrite(PathOptimizer* optimizer, std::FILE* file, int mode);

// Module-wide tuning values shared by every optimizer object; two
// optimizations must therefore not run at the same time.
//
// segmentWindow: largest segment length tried by the segment moves and the
// number of windows tried by extendedA; set by every optimize call.
extern int segmentWindow;
// improvementPasses: improvement passes without change after which an
// insertion tour stops, counted over all its passes.
inline constexpr int improvementPasses = 1;
// lengthLowerBound: lower bound of the current point set's path length, set
// by the contour driver before each optimize of a code that reads it
// (readsLowerBound); read only by extendedA.
extern double lengthLowerBound;

// Segment window for a point set of `count` points: 20 up to 75 points,
// otherwise 1500 / count (integer division) but at least 2.
int windowForCount(int count);

// Sets `length` to the length of the path (start point when set, then the
// points in `order`), summed in path order, and marks it valid.
void computeLength(PathOptimizer& optimizer);

// A lower bound of any open path through the points (start point not
// included): the sum of every point's nearest-neighbour distance minus the
// largest of them. 0 for fewer than two points.
double computeLowerBound(const PathOptimizer& optimizer);

// How many times computeLowerBound has run in this process, so that tests
// can see which callers pay for it.
long lowerBoundComputations();

// Runs the heuristic chosen by `algorithm` after setting segmentWindow;
// algorithm codes and banners are in optimize_dispatch.cpp.
void optimizePath(PathOptimizer& optimizer);

// Largest coordinate magnitude the heuristics accept. Within it every
// distance stays below the 9.9e30 that stands for "no candidate yet", and no
// sum or product overflows, so every scan finds a candidate and the order
// stays a permutation. A point set with an x or y outside it (or not finite),
// or such a start point, is left in the order it has.
inline constexpr double kMaxCoordinate = 1e30;

// True when every point's x and y, and the start point's when one is set,
// are finite and within kMaxCoordinate.
bool orderableCoordinates(const PathOptimizer& optimizer);

// Plane distance between two positions.
inline double planeDistance(double ax, double ay, double bx, double by) {
    return exactHypot(ax - bx, ay - by);
}

}  // namespace tw
