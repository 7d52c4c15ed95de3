// Runs every algorithm code on point sets made from the input bytes (exact
// ties, duplicates, huge, tiny and non-finite coordinates), once with the
// reference engine and once with the fast engine. The first byte names the
// code that gets the most points and the rotation of the starting order.
// Aborts when the two engines differ in order, stored length, final length
// bits, lower bound or printed output (banners), when an order stops being a
// permutation, or when the length is not valid.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "optimizer/engines/engine.h"
#include "optimizer/optimize_codes.h"
#include "optimizer/path_optimizer.h"
#include "optimizer/near_optimal/search_effort.h"

namespace {

constexpr int kCodes[] = {1, 2, 3, 4, 5, 6, 7, 8, 101, 102, 103, 104, 0, 9};

// The weight-matrix search is exponential and extendedA is slow: keep their
// sets small so that each input runs in milliseconds with both engines. The
// code the input's first byte names gets these limits; every other code
// runs too, on the first kOtherCodesLimit points.
int pointLimit(int code) {
    switch (code) {
        case 6: return 7;
        case 7: case 101: return 16;
        default: return 40;
    }
}
constexpr int kOtherCodesLimit = 12;

class Bytes {
public:
    Bytes(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    bool empty() const { return position_ >= size_; }
    std::uint8_t byte() { return position_ < size_ ? data_[position_++] : 0; }
    // Mostly small grid values (many exact ties), sometimes any double.
    double coordinate() {
        const std::uint8_t kind = byte();
        if (kind < 200) return static_cast<double>(static_cast<std::int8_t>(byte())) * (kind % 4 == 0 ? 0.5 : 1.0);
        double value = 0.0;
        std::uint8_t raw[sizeof value] = {};
        for (std::uint8_t& b : raw) b = byte();
        std::memcpy(&value, raw, sizeof value);
        return value;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t position_ = 0;
};

struct Point {
    double x;
    double y;
};

struct Input {
    int mainCode = 0;  // the code that runs on all points (up to its limit)
    int rotation = 0;  // the starting order is the identity rotated by this
    Point start{0, 0};
    std::vector<Point> points;
};

struct Outcome {
    std::vector<int> order;
    bool orderable = false;  // coordinates in range, start point included
    double lowerBound = 0.0;
    double storedLength = 0.0;
    double finalLength = 0.0;
    std::string output;
};

bool sameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// Collects what the heuristics print (banners, progress) while `run` runs.
template <class Run>
std::string captureOutput(Run&& run) {
    std::fflush(stdout);
    std::FILE* saved = stdout;
    std::FILE* sink = std::tmpfile();
    if (sink != nullptr) stdout = sink;
    run();
    std::string text;
    if (sink != nullptr) {
        std::fflush(sink);
        stdout = saved;
        std::rewind(sink);
        char buffer[512];
        for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, sink)) > 0;) text.append(buffer, got);
        std::fclose(sink);
    }
    return text;
}

// The contour driver's steps for one code under one engine.
Outcome runCode(const Input& input, int code, int limit, tw::EngineKind engine) {
    Outcome outcome;
    PathOptimizer* optimizer = tw::optimizerCreate(&tw::StandardPathOptimizer, "fuzz");
    if (optimizer == nullptr) std::abort();
    optimizer->algorithm = code;
    const int count = std::min(static_cast<int>(input.points.size()), limit);
    for (int i = 0; i < count; ++i) {
        tw::optimizerAddPoint(optimizer, nullptr, input.points[i].x, input.points[i].y, 0.0, 0.0, 0.0);
    }
    for (int k = 0; k < count; ++k) optimizer->order[k] = (k + input.rotation) % count;
    tw::optimizerSetStartPoint(optimizer, nullptr, input.start.x, input.start.y, 0.0);
    outcome.orderable = tw::orderableCoordinates(*optimizer);
    {
        tw::EngineScope scope(engine);
        outcome.lowerBound = tw::computeLowerBound(*optimizer);
        tw::lengthLowerBound = outcome.lowerBound;
        outcome.output = captureOutput([optimizer] { tw::optimizerOptimize(optimizer); });
    }
    outcome.storedLength = optimizer->length;
    std::vector<int> seen(static_cast<std::size_t>(optimizer->count), 0);
    for (int k = 0; k < optimizer->count; ++k) {
        const int index = optimizer->order[static_cast<std::size_t>(k)];
        if (index < 0 || index >= optimizer->count || seen[static_cast<std::size_t>(index)]++ != 0) std::abort();
    }
    tw::optimizerComputeLength(optimizer);
    if (optimizer->lengthValid != 1) std::abort();
    outcome.finalLength = optimizer->length;
    outcome.order = optimizer->order;
    tw::optimizerDestroy(optimizer);
    return outcome;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Bytes bytes(data, size);
    Input input;
    const int first = bytes.byte();
    input.mainCode = kCodes[first % std::size(kCodes)];
    input.rotation = first / static_cast<int>(std::size(kCodes));
    input.start.x = bytes.coordinate();
    input.start.y = bytes.coordinate();
    while (!bytes.empty() && static_cast<int>(input.points.size()) < pointLimit(input.mainCode)) {
        const double x = bytes.coordinate();
        const double y = bytes.coordinate();
        input.points.push_back({x, y});
    }

    for (const int code : kCodes) {
        const int limit = code == input.mainCode ? pointLimit(code) : std::min(pointLimit(code), kOtherCodesLimit);
        const Outcome reference = runCode(input, code, limit, tw::EngineKind::kReference);
        const Outcome fast = runCode(input, code, limit, tw::EngineKind::kFast);
        if (reference.order != fast.order) std::abort();
        if (!sameBits(reference.storedLength, fast.storedLength)) std::abort();
        if (!sameBits(reference.finalLength, fast.finalLength)) std::abort();
        // The weight-matrix search's spinner keeps its position from one
        // search to the next, so its output differs between two runs by
        // design; it uses neither engine.
        if (code != 6 && reference.output != fast.output) std::abort();
        // The bound is read only where every coordinate is in range.
        if (reference.orderable && !sameBits(reference.lowerBound, fast.lowerBound)) std::abort();
    }

    // The near-optimal mode, at an effort partly outside its range, on the
    // sets the other codes get: a permutation, and never longer than the
    // order it starts from.
    tw::searchEffort = static_cast<int>(bytes.byte() % 6) - 2;
    const Outcome nearOptimal = runCode(input, tw::kAlgorithmNearOptimal, kOtherCodesLimit, tw::EngineKind::kFast);
    const Outcome original = runCode(input, tw::kAlgorithmOriginal, kOtherCodesLimit, tw::EngineKind::kFast);
    if (nearOptimal.orderable && nearOptimal.finalLength > original.finalLength) std::abort();
    tw::searchEffort = tw::kDefaultSearchEffort;
    return 0;
}
