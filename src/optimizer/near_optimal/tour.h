// A closed tour as an array of nodes with the position of every node, the
// representation that makes neighbour look-ups O(1) and reversals as cheap as
// the shorter side of the tour.
//
// Every change is a recorded two-exchange (exchange_log.h); the work an
// exchange returns is the number of nodes moved.
#pragma once

#include <cstddef>
#include <vector>

#include "optimizer/near_optimal/exchange_log.h"

namespace tw::nearopt {

// A search skips an exchange that would move more nodes than this: on large
// sets such reversals cost far more than they gain, and kicks with the work
// saved improve the path more.
inline constexpr int kLongestReversal = 3000;

class ArrayTour : public ExchangeLog<ArrayTour> {
public:
    // The tour visiting `order` (a permutation of 0 .. size-1) in turn.
    explicit ArrayTour(const std::vector<int>& order);

    int size() const { return size_; }
    int next(int node) const { return order_[wrap(position_[static_cast<std::size_t>(node)] + 1)]; }
    int previous(int node) const { return order_[wrap(position_[static_cast<std::size_t>(node)] - 1 + size_)]; }
    int at(int position) const { return order_[static_cast<std::size_t>(position)]; }
    int positionOf(int node) const { return position_[static_cast<std::size_t>(node)]; }
    // A node to start walking from for the `index`-th of `size` choices.
    int anchor(int index) const { return at(index); }

    // True when b lies on the way from a forward to c (a, b, c distinct or
    // b equal to an end).
    bool between(int a, int b, int c) const { return ahead(a, b) <= ahead(a, c); }

    // No step of an exchange chain moves more than kLongestReversal nodes
    // (longExchange refuses it).
    static constexpr bool kBoundedReversals = true;

    // Number of nodes the exchange would move (it reverses the shorter side).
    int exchangeCost(int t1, int t2, int t3, int t4) const;
    // Whether the exchange would move more than kLongestReversal nodes.
    bool longExchange(int t1, int t2, int t3, int t4) const { return exchangeCost(t1, t2, t3, t4) > kLongestReversal; }

private:
    friend class ExchangeLog<ArrayTour>;

    int ahead(int from, int to) const {
        const int d = position_[static_cast<std::size_t>(to)] - position_[static_cast<std::size_t>(from)];
        return d < 0 ? d + size_ : d;
    }
    std::size_t wrap(int position) const { return static_cast<std::size_t>(position >= size_ ? position - size_ : position); }
    long long reversePath(int from, int to);

    int size_;
    std::vector<int> order_;
    std::vector<int> position_;
};

}  // namespace tw::nearopt
