#include "optimizer/near_optimal/search.h"

#include "optimizer/near_optimal/insertion_move.h"
#include "optimizer/near_optimal/segment_move.h"
#include "optimizer/near_optimal/stretch_swap.h"

namespace tw::nearopt {
namespace {

// Steps of one chain, and how many candidates each step tries.
constexpr int kMaxDepth = 6;
constexpr int kBreadth[kMaxDepth] = {3, 2, 1, 1, 1, 1};
constexpr int kMaxBreadth = 3;
// How many of the other first steps (startOtherWay) a chain goes on from.
constexpr int kOtherBreadth = 2;

}  // namespace

template <class Tour>
LocalSearch<Tour>::LocalSearch(const NodeSet& nodes, const CandidateLists& candidates, Tour& tour, double tolerance,
                               EndJoins endJoins)
    : nodes_(nodes),
      candidates_(candidates),
      tour_(tour),
      tolerance_(tolerance),
      endJoins_(endJoins),
      queue_(static_cast<std::size_t>(nodes.nodeCount()), 0),
      queued_(static_cast<std::size_t>(nodes.nodeCount()), 0) {
    added_.reserve(2 * kMaxDepth);
}

template <class Tour>
void LocalSearch<Tour>::push(int node) {
    if (queued_[static_cast<std::size_t>(node)] != 0) return;
    queued_[static_cast<std::size_t>(node)] = 1;
    queue_[(head_ + waiting_) % queue_.size()] = node;
    ++waiting_;
}

template <class Tour>
void LocalSearch<Tour>::pushAll() {
    int node = tour_.anchor(0);
    for (int k = 0; k < tour_.size(); ++k, node = tour_.next(node)) push(node);
}

template <class Tour>
double LocalSearch<Tour>::run(long long workLimit, bool undoable) {
    double gained = 0.0;
    while (waiting_ > 0) {
        const int t1 = queue_[head_];
        head_ = (head_ + 1) % queue_.size();
        --waiting_;
        queued_[static_cast<std::size_t>(t1)] = 0;
        if (work_ >= workLimit) continue;  // drain the queue without searching
        if (improveFrom(t1, gained) && !undoable) tour_.forget();
    }
    return gained;
}

template <class Tour>
void LocalSearch<Tour>::pushRecordedSince(std::size_t start, std::size_t end) {
    for (std::size_t k = start; k < end; ++k) {
        const Exchange& e = tour_.recorded(k);
        push(e.t1);
        push(e.t2);
        push(e.t3);
        push(e.t4);
    }
}

template <class Tour>
bool LocalSearch<Tour>::improveFrom(int t1, double& gained) {
    for (int side = 0; side < 2; ++side) {
        const int t2 = side == 0 ? tour_.next(t1) : tour_.previous(t1);
        if (nodes_.fixedEdge(t1, t2)) continue;
        const std::size_t start = tour_.mark();
        bestGain_ = tolerance_;
        bestMark_ = start;
        added_.clear();
        deepen(0, t1, t2, nodes_.distance(t1, t2), start);
        if (bestMark_ > start) {
            work_ += tour_.undoTo(bestMark_);
            gained += bestGain_;
            pushRecordedSince(start, bestMark_);
            return true;
        }
        work_ += tour_.undoTo(start);
    }
    const std::size_t start = tour_.mark();
    if (improveBySegmentMove(nodes_, candidates_, tour_, t1, tolerance_, gained, work_)) {
        pushRecordedSince(start, tour_.mark());
        return true;
    }
    if (insertions_ && improveByInsertion(nodes_, candidates_, tour_, t1, tolerance_, gained, work_)) {
        pushRecordedSince(start, tour_.mark());
        return true;
    }
    return false;
}

template <class Tour>
bool LocalSearch<Tour>::addedInChain(int a, int b) const {
    for (std::size_t k = 0; k + 1 < added_.size(); k += 2) {
        if ((added_[k] == a && added_[k + 1] == b) || (added_[k] == b && added_[k + 1] == a)) return true;
    }
    return false;
}

template <class Tour>
void LocalSearch<Tour>::deepen(int level, int t1, int t2, double gain, std::size_t chainStart) {
    const bool t2Follows = tour_.next(t1) == t2;
    const int t2Next = tour_.next(t2);
    const int t2Previous = tour_.previous(t2);
    Alternative best[kMaxBreadth];
    int found = 0;
    const int breadth = kBreadth[level];

    auto consider = [&](int c, double joinLength) {
        ++work_;
        if (c == t1 || c == t2Next || c == t2Previous) return;
        // t2 follows t1: the tour reads t1 t2 .. t4 c, so t4 precedes c.
        const int t4 = t2Follows ? tour_.previous(c) : tour_.next(c);
        if (nodes_.fixedEdge(c, t4) || addedInChain(c, t4)) return;
        const double value = gain - joinLength + nodes_.distance(c, t4);
        // Keep the `breadth` best, ties by node index, in descending order.
        int slot = found;
        while (slot > 0 && (best[slot - 1].gain < value || (best[slot - 1].gain == value && best[slot - 1].c > c))) --slot;
        if (slot >= breadth) return;
        // slot >= 0, so k - 1 stays in the array (the k > 0 spares a false warning).
        for (int k = found < breadth ? found : breadth - 1; k > slot && k > 0; --k) best[k] = best[k - 1];
        best[slot] = {c, t4, value};
        if (found < breadth) ++found;
    };

    // The free end is at distance 0 from every node: joining it lets the
    // chain end the path at t2 (which steps try it: kDefaultEndJoins).
    const bool endJoinHere = level == 0 || endJoins_ == EndJoins::kEveryStep;
    if (endJoinHere && t2 != nodes_.endNode && t2 != nodes_.startNode && gain > tolerance_) consider(nodes_.endNode, 0.0);
    if (t2 != nodes_.endNode) {
        for (const Candidate* candidate = candidates_.begin(t2); candidate != candidates_.end(t2); ++candidate) {
            // Candidates come nearest first: once the join eats the gain,
            // every later one does too.
            if (gain - candidate->distance <= tolerance_) break;
            consider(candidate->node, candidate->distance);
        }
    }

    for (int k = 0; k < found; ++k) {
        const Alternative& alternative = best[k];
        if (tour_.longExchange(t1, t2, alternative.c, alternative.t4)) continue;
        const double closed = alternative.gain - nodes_.distance(alternative.t4, t1);
        // The last step is made only when it closes the best tour: made and
        // taken back, it would cost two reversals for nothing.
        if (level + 1 == kMaxDepth && !(closed > bestGain_)) continue;
        const std::size_t before = tour_.mark();
        work_ += tour_.exchange(t1, t2, alternative.c, alternative.t4);
        added_.push_back(t2);
        added_.push_back(alternative.c);
        if (closed > bestGain_) {
            bestGain_ = closed;
            bestMark_ = tour_.mark();
        }
        if (level + 1 < kMaxDepth) deepen(level + 1, t1, alternative.t4, alternative.gain, chainStart);
        if (bestMark_ > chainStart) return;  // the caller keeps the best prefix
        added_.pop_back();
        added_.pop_back();
        work_ += tour_.undoTo(before);
    }
    if (level == 0 && otherFirstSteps_) startOtherWay(t1, t2, gain, chainStart);
}

// The first step with t4 on the other side of t3: removing (t1,t2) and
// (t3,t4) and joining t2 to t3 closes the ring t2 .. t3, so a second join
// (t4,t5) must open it at t5 again, removing (t5,t6) with t6 on either side
// of t5. Read in the direction from t1 to t2, the tour
//   t1 [t2 .. t5 t6 .. t3] t4   becomes   t1 [t6 .. t3] [t2 .. t5] t4,
//   t1 [t2 .. t6 t5 .. t3] t4   becomes   t1 [t6 .. t2] [t3 .. t5] t4,
// a move of three edges that no chain of two-exchanges reaches through
// whole tours. The chain goes on from t6 like any other.
template <class Tour>
void LocalSearch<Tour>::startOtherWay(int t1, int t2, double gain, std::size_t chainStart) {
    if (t2 == nodes_.endNode) return;
    const bool forward = tour_.next(t1) == t2;
    auto after = [&](int node) { return forward ? tour_.next(node) : tour_.previous(node); };
    auto before = [&](int node) { return forward ? tour_.previous(node) : tour_.next(node); };
    auto within = [&](int a, int b, int c) { return forward ? tour_.between(a, b, c) : tour_.between(c, b, a); };

    struct OtherStart {
        int t3, t4, t5, t6;
        bool t6After;  // t6 follows t5 in the direction from t1 to t2
        double gain;   // running gain after removing (t5, t6)
    };
    OtherStart best[kOtherBreadth];
    int found = 0;
    auto keep = [&](const OtherStart& start) {
        int slot = found;
        while (slot > 0 && best[slot - 1].gain < start.gain) --slot;
        if (slot >= kOtherBreadth) return;
        for (int k = found < kOtherBreadth ? found : kOtherBreadth - 1; k > slot && k > 0; --k) best[k] = best[k - 1];
        best[slot] = start;
        if (found < kOtherBreadth) ++found;
    };

    const int t2After = after(t2);
    for (const Candidate* c3 = candidates_.begin(t2); c3 != candidates_.end(t2); ++c3) {
        ++work_;
        const double g1 = gain - c3->distance;
        if (g1 <= tolerance_) break;
        const int t3 = c3->node;
        if (t3 == t1 || t3 == t2After) continue;
        const int t4 = after(t3);
        if (t4 == t1 || t4 == nodes_.endNode || nodes_.fixedEdge(t3, t4)) continue;
        const double g1Open = g1 + nodes_.distance(t3, t4);
        for (const Candidate* c5 = candidates_.begin(t4); c5 != candidates_.end(t4); ++c5) {
            ++work_;
            const double g2 = g1Open - c5->distance;
            if (g2 <= tolerance_) break;
            const int t5 = c5->node;
            if (t5 == t3 || !within(t2, t5, t3)) continue;
            const int t6After = after(t5);
            if (!nodes_.fixedEdge(t5, t6After)) keep({t3, t4, t5, t6After, true, g2 + nodes_.distance(t5, t6After)});
            if (t5 == t2) continue;
            const int t6Before = before(t5);
            if (!nodes_.fixedEdge(t5, t6Before)) keep({t3, t4, t5, t6Before, false, g2 + nodes_.distance(t5, t6Before)});
        }
    }

    for (int k = 0; k < found; ++k) {
        const OtherStart& start = best[k];
        const std::size_t mark = tour_.mark();
        // Reversals may have turned the whole tour round since `forward` was
        // read; the exchanges below hold in either direction.
        if (start.t6After) {
            if (tour_.longExchange(t1, t2, start.t4, start.t3)) continue;
            work_ += swapStretches(tour_, t1, t2, start.t5, start.t6, start.t3, start.t4, true, true);
        } else {
            if (tour_.longExchange(t1, t2, start.t5, start.t6)) continue;
            work_ += tour_.exchange(t1, t2, start.t5, start.t6);  // t1 [t6 .. t2] t5 .. t3 t4
            if (tour_.longExchange(t2, start.t5, start.t4, start.t3)) {
                work_ += tour_.undoTo(mark);
                continue;
            }
            work_ += tour_.exchange(t2, start.t5, start.t4, start.t3);
        }
        const double closed = start.gain - nodes_.distance(start.t6, t1);
        if (closed > bestGain_) {
            bestGain_ = closed;
            bestMark_ = tour_.mark();
        }
        added_.push_back(t2);
        added_.push_back(start.t3);
        added_.push_back(start.t4);
        added_.push_back(start.t5);
        deepen(2, t1, start.t6, start.gain, chainStart);
        if (bestMark_ > chainStart) return;
        added_.resize(added_.size() - 4);
        work_ += tour_.undoTo(mark);
    }
}

template class LocalSearch<ArrayTour>;
template class LocalSearch<TwoLevelTour>;

}  // namespace tw::nearopt
