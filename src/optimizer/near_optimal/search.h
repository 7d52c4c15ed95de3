// Local search of the near-optimal mode: chains of two-exchanges in the
// manner of Lin and Kernighan, driven by a queue of nodes to look at (the
// "don't-look bits" of the literature: a node leaves the queue when no chain
// from it gains, and comes back when an edge at it changes).
//
// A chain starts by removing an edge (t1,t2) of the tour. Each step joins the
// current end t2 to a candidate c of t2 (only while the running gain stays
// positive), removes the edge (c,t4) that keeps the tour whole, and measures
// the tour closed with (t4,t1). The chain goes on from t4, up to kMaxDepth
// steps, trying several candidates in the first steps and the best one
// deeper; the best closed tour is kept when it gains more than the
// tolerance. Depth three covers the 2-opt moves, the Or-opt segment moves
// (with and without reversal) and the sequential 3-opt moves; the free end
// being at distance 0, a chain whose first step joins it moves the end of
// the open path. When no chain from a node gains, the short segment moves
// (segment_move.h) and then, when switched on, the longer insertions
// (insertion_move.h) are tried from it. A chain may also start with a move
// of three edges that no two-exchange reaches (tryOtherFirstSteps).
#pragma once

#include <cstddef>
#include <vector>

#include "optimizer/near_optimal/neighbours.h"
#include "optimizer/near_optimal/nodes.h"
#include "optimizer/near_optimal/tour.h"
#include "optimizer/near_optimal/two_level_tour.h"

namespace tw::nearopt {

// Which steps of a chain may join the free end (and so move the path's end).
enum class EndJoins {
    kFirstStep,
    kEveryStep,
};

// `Tour` is ArrayTour or TwoLevelTour.
template <class Tour>
class LocalSearch {
public:
    // Deeper than the first step, an end join reverses everything up to the
    // far end of the path. Where the tour bounds every chain step it stays a
    // local move, and trying it at every step lets a chain carry the end out
    // of a cluster that the path should not finish in. Without that bound,
    // its running gain (the whole gain so far) outranks most real candidates,
    // so it would take the few places of the narrow levels at a high price.
    static constexpr EndJoins kDefaultEndJoins = Tour::kBoundedReversals ? EndJoins::kEveryStep : EndJoins::kFirstStep;

    // `tolerance`: the least gain a chain must make to be kept.
    LocalSearch(const NodeSet& nodes, const CandidateLists& candidates, Tour& tour, double tolerance,
                EndJoins endJoins = kDefaultEndJoins);

    // Puts a node in the queue unless it is already waiting.
    void push(int node);
    void pushAll();

    // Improves the tour until the queue is empty or the work counter reaches
    // `workLimit`; returns the sum of the gains made (the length removed).
    // With `undoable` false the tour's record of exchanges is dropped as the
    // search goes, so a long first search needs no memory for it.
    double run(long long workLimit, bool undoable = true);

    // Work done so far: nodes moved by reversals plus candidates examined.
    long long work() const { return work_; }
    void addWork(long long steps) { work_ += steps; }

    // Whether the longer insertions are tried (at first they are not). The
    // first search from the curve order goes without them: there they fix
    // the path's coarse shape too early, and on some boards (d2103, fl3795)
    // the kicks then end up to 2 % longer. After a kick they only repair
    // around it.
    void tryInsertions(bool on) { insertions_ = on; }

    // Whether a chain that finds no gain from its usual first steps also
    // starts the other way (startOtherWay in search.cpp: t4 on the far side
    // of t3, then a second join that opens the ring this closes). That
    // reaches the three-edge moves of segments kept in direction or turned
    // in place, which a chain of two-exchanges does not. In the first search
    // from the curve order it gives better first tours (on the array tour:
    // near_optimal.cpp); in the repairs after kicks it costs more work than
    // it gains.
    void tryOtherFirstSteps(bool on) { otherFirstSteps_ = on; }

private:
    struct Alternative {
        int c;
        int t4;
        double gain;  // running gain after removing (c, t4)
    };

    bool improveFrom(int t1, double& gained);
    void deepen(int level, int t1, int t2, double gain, std::size_t chainStart);
    void startOtherWay(int t1, int t2, double gain, std::size_t chainStart);
    bool addedInChain(int a, int b) const;
    void pushRecordedSince(std::size_t start, std::size_t end);

    const NodeSet& nodes_;
    const CandidateLists& candidates_;
    Tour& tour_;
    double tolerance_;
    EndJoins endJoins_;

    std::vector<int> queue_;  // ring buffer, each node at most once
    std::vector<char> queued_;
    std::size_t head_ = 0;
    std::size_t waiting_ = 0;

    double bestGain_ = 0.0;
    std::size_t bestMark_ = 0;
    std::vector<int> added_;  // pairs of nodes joined in the current chain
    long long work_ = 0;
    bool insertions_ = false;
    bool otherFirstSteps_ = false;
};

}  // namespace tw::nearopt
