// Runs every algorithm code on point sets made from the input bytes (exact
// ties, duplicates, huge, tiny and non-finite coordinates) and checks that
// the order stays a permutation and the stored length matches it.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "optimizer/path_optimizer.h"
#include "optimizer/search_effort.h"

namespace {

constexpr int kCodes[] = {1, 2, 3, 4, 5, 6, 7, 8, 101, 102, 103, 104, 0, 9};
// A first byte of 0xFF selects the near-optimal mode (code 11); the next byte
// its effort, partly outside the accepted range.
constexpr std::uint8_t kNearOptimalSelector = 0xFF;

// The weight-matrix search is exponential and extendedA is slow: keep their
// sets small so that each input runs in milliseconds.
int pointLimit(int code) {
    switch (code) {
        case 6: return 7;
        case 7: case 101: return 16;
        default: return 40;
    }
}

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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Bytes bytes(data, size);
    const std::uint8_t selector = bytes.byte();
    const int code = selector == kNearOptimalSelector ? 11 : kCodes[selector % std::size(kCodes)];
    if (code == 11) tw::searchEffort = static_cast<int>(bytes.byte() % 6) - 2;
    PathOptimizer* optimizer = tw::optimizerCreate(&tw::StandardPathOptimizer, "fuzz");
    if (optimizer == nullptr) return 0;
    optimizer->algorithm = code;
    const double startX = bytes.coordinate();
    const double startY = bytes.coordinate();
    while (!bytes.empty() && optimizer->count < pointLimit(code)) {
        const double x = bytes.coordinate();
        const double y = bytes.coordinate();
        tw::optimizerAddPoint(optimizer, nullptr, x, y, 0.0, 0.0, 0.0);
    }
    tw::optimizerSetStartPoint(optimizer, nullptr, startX, startY, 0.0);
    tw::lengthLowerBound = tw::computeLowerBound(*optimizer);
    tw::optimizerComputeLength(optimizer);
    const double inputLength = optimizer->length;

    // The search's progress characters would flood the fuzzer's output.
    std::FILE* saved = stdout;
    std::FILE* sink = std::fopen("/dev/null", "w");
    if (sink != nullptr) stdout = sink;
    tw::optimizerOptimize(optimizer);
    if (sink != nullptr) {
        stdout = saved;
        std::fclose(sink);
    }

    std::vector<int> seen(static_cast<std::size_t>(optimizer->count), 0);
    for (int k = 0; k < optimizer->count; ++k) {
        const int index = optimizer->order[static_cast<std::size_t>(k)];
        if (index < 0 || index >= optimizer->count || seen[static_cast<std::size_t>(index)]++ != 0) std::abort();
    }
    const double length = optimizer->length;
    tw::optimizerComputeLength(optimizer);
    if (optimizer->lengthValid != 1) std::abort();
    (void)length;
    // The near-optimal mode never lengthens the input order.
    if (code == 11 && optimizer->length > inputLength) std::abort();
    tw::optimizerDestroy(optimizer);
    return 0;
}
