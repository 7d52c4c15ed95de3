#include "optimizer/spatial/shared_point_tree.h"

namespace tw {
namespace {

// The innermost open scope; the optimizer is single-threaded, like the
// module-wide tuning values.
SharedPointTree* openScope = nullptr;

std::shared_ptr<const PointTree> buildTree(const PathOptimizer& optimizer) {
    return std::make_shared<const PointTree>(optimizer.points);
}

}  // namespace

SharedPointTree::SharedPointTree(const PathOptimizer& optimizer)
    : optimizer_(&optimizer), count_(optimizer.count) {
    if (openScope != nullptr && openScope->optimizer_ == optimizer_ && openScope->count_ == count_) return;
    outer_ = openScope;
    openScope = this;
    active_ = true;
}

SharedPointTree::~SharedPointTree() {
    if (active_) openScope = outer_;
}

std::shared_ptr<const PointTree> pointTreeFor(const PathOptimizer& optimizer) {
    SharedPointTree* scope = openScope;
    if (scope == nullptr || scope->optimizer_ != &optimizer || scope->count_ != optimizer.count) {
        return buildTree(optimizer);
    }
    if (!scope->tree_) scope->tree_ = buildTree(optimizer);
    return scope->tree_;
}

}  // namespace tw
