// One point tree per optimize: the lower bound, the tours and every path
// engine of one contour search the same static tree, so it is built once.
//
// While a SharedPointTree scope for an optimizer is open, pointTreeFor
// builds that optimizer's tree on first use and hands the same tree to every
// later caller; the scope drops it when it closes. Without an open scope for
// the optimizer each call builds a tree of its own. The points must not
// change while the scope is open: the contour driver opens it after the
// last point of a contour was added, the optimize operation for its own
// run, and both close it before the next point can come. Scopes nest: an
// inner scope for the same optimizer uses the outer one's tree.
#pragma once

#include <memory>

#include "optimizer/path_optimizer.h"
#include "optimizer/spatial/point_tree.h"

namespace tw {

class SharedPointTree {
public:
    explicit SharedPointTree(const PathOptimizer& optimizer);
    ~SharedPointTree();
    SharedPointTree(const SharedPointTree&) = delete;
    SharedPointTree& operator=(const SharedPointTree&) = delete;

private:
    friend std::shared_ptr<const PointTree> pointTreeFor(const PathOptimizer& optimizer);

    const PathOptimizer* optimizer_;
    int count_;
    std::shared_ptr<const PointTree> tree_;
    SharedPointTree* outer_ = nullptr;
    bool active_ = false;
};

// The point tree of the optimizer's points: the open scope's, else a new
// one. Throws std::bad_alloc when memory is short.
std::shared_ptr<const PointTree> pointTreeFor(const PathOptimizer& optimizer);

}  // namespace tw
