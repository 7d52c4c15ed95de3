#include "optimizer/near_optimal/tour.h"

#include <utility>

namespace tw::nearopt {

ArrayTour::ArrayTour(const std::vector<int>& order)
    : size_(static_cast<int>(order.size())), order_(order), position_(order.size(), 0) {
    for (int k = 0; k < size_; ++k) position_[static_cast<std::size_t>(order_[static_cast<std::size_t>(k)])] = k;
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
