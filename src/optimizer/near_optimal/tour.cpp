#include "optimizer/near_optimal/tour.h"

#include <utility>

namespace tw::nearopt {

ArrayTour::ArrayTour(const std::vector<int>& order)
    : size_(static_cast<int>(order.size())), order_(order), position_(order.size(), 0) {
    for (int k = 0; k < size_; ++k) position_[static_cast<std::size_t>(order_[static_cast<std::size_t>(k)])] = k;
}

long long ArrayTour::exchange(int t1, int t2, int t3, int t4) {
    log_.push_back({t1, t2, t3, t4});
    return apply(t1, t2, t3, t4);
}

long long ArrayTour::undoTo(std::size_t mark) {
    long long work = 0;
    while (log_.size() > mark) {
        const Exchange e = log_.back();
        log_.pop_back();
        // After the exchange t4 is t1's neighbour and t2 is t3's, on the
        // sides the preconditions need: exchanging them back restores it.
        work += apply(e.t1, e.t4, e.t3, e.t2);
    }
    return work;
}

long long ArrayTour::apply(int t1, int t2, int, int t4) {
    // Tour t1 t2 .. t4 t3: reversing t2 .. t4 gives t1 t4 .. t2 t3.
    if (next(t1) == t2) return reversePath(t2, t4);
    return reversePath(t4, t2);
}

int ArrayTour::exchangeCost(int t1, int t2, int, int t4) const {
    const bool forward = next(t1) == t2;
    int length = position_[static_cast<std::size_t>(forward ? t4 : t2)] - position_[static_cast<std::size_t>(forward ? t2 : t4)];
    if (length < 0) length += size_;
    length += 1;
    return 2LL * length > size_ ? size_ - length : length;
}

long long ArrayTour::reversePath(int from, int to) {
    int i = position_[static_cast<std::size_t>(from)];
    int j = position_[static_cast<std::size_t>(to)];
    int length = j - i;
    if (length < 0) length += size_;
    length += 1;
    // Reversing the rest of the cycle gives the same tour, read backwards.
    if (2LL * length > size_) {
        const int i2 = j + 1 == size_ ? 0 : j + 1;
        const int j2 = i == 0 ? size_ - 1 : i - 1;
        i = i2;
        j = j2;
        length = size_ - length;
    }
    for (int k = 0; k < length / 2; ++k) {
        const int a = order_[static_cast<std::size_t>(i)];
        const int b = order_[static_cast<std::size_t>(j)];
        order_[static_cast<std::size_t>(i)] = b;
        order_[static_cast<std::size_t>(j)] = a;
        position_[static_cast<std::size_t>(b)] = i;
        position_[static_cast<std::size_t>(a)] = j;
        i = i + 1 == size_ ? 0 : i + 1;
        j = j == 0 ? size_ - 1 : j - 1;
    }
    return length;
}

}  // namespace tw::nearopt
