// Algorithm codes of the optimizer and the configuration names that select
// them.
#pragma once

#include <string_view>

namespace tw {

inline constexpr int kAlgorithmNearest = 1;
inline constexpr int kAlgorithmNearestDirected = 2;
inline constexpr int kAlgorithmNearestDirCross = 3;
inline constexpr int kAlgorithmOriginal = 4;
inline constexpr int kAlgorithmInsert = 5;
inline constexpr int kAlgorithmWeightMatrix = 6;
inline constexpr int kAlgorithmExtendedA = 7;
inline constexpr int kAlgorithmExtendedB = 8;
inline constexpr int kAlgorithmMixed1 = 101;
inline constexpr int kAlgorithmMixed2 = 102;
inline constexpr int kAlgorithmMixed3 = 103;
inline constexpr int kAlgorithmMixed4 = 104;
inline constexpr int kAlgorithmNearOptimal = 11;

// Whether the heuristics of `code` read lengthLowerBound: only extendedA
// does (codes 7 and 101). The contour driver computes the bound, which
// costs a tree search per point, only for these codes.
inline constexpr bool readsLowerBound(int code) {
    return code == kAlgorithmExtendedA || code == kAlgorithmMixed1;
}

// The code configured when no algorithm name is given.
inline constexpr int kDefaultAlgorithm = kAlgorithmNearestDirCross;

struct AlgorithmName {
    std::string_view name;
    int code;
};

// Configuration names in the order they are compared; the first equal name
// (exact, case included) gives the code. Other codes have no name.
inline constexpr AlgorithmName kAlgorithmNames[] = {
    {"nearest", kAlgorithmNearest},
    {"nearestDirected", kAlgorithmNearestDirected},
    {"nearestDirCross", kAlgorithmNearestDirCross},
    {"insert", kAlgorithmInsert},
    {"extendedA", kAlgorithmExtendedA},
    {"extendedB", kAlgorithmExtendedB},
    {"nearOptimal", kAlgorithmNearOptimal},
};

}  // namespace tw
