// Reads generated exchange files of 10^4, 10^5 and 10^6 points (contours of
// 1000 points with ids and x/y/z arguments) with the contour reader the
// module and the host use, coordinates decoded and carried, and
// prints the file size, the best wall-clock and processor time of three
// walks, the throughput (by wall clock) and the growth of the peak resident
// memory during the walks. On a shared machine the processor time is the
// steadier figure.
//
// Usage: bench_exchange_walk [directory for the generated files]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "exchange/contour_reading.h"

#if defined(__linux__)
#include <sys/resource.h>
#endif

namespace {

using namespace tw;

constexpr int kPointsPerContour = 1000;
constexpr int kRuns = 3;

struct Totals : ContourVisitor {
    long points = 0;
    long contours = 0;
    double sum = 0.0;

    void point(ExchangeToken&, const CoordinateCarry& carry) override {
        for (int axis = 0; axis < 3; ++axis) sum += carry.value(axis);
        ++points;
    }
    void contourEnd(const ValueDictionary&) override { ++contours; }
};

void generate(const std::string& path, long points) {
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (out == nullptr) {
        std::perror(path.c_str());
        std::exit(1);
    }
    std::fputs("tarnWELL Data Exchange File, text edition 1993.\ntWX-Version: 1.0\nGeometry\nbenchmark\n\n", out);
    std::fputs("vprecision(3)\n\n", out);
    unsigned state = 12345;
    auto next = [&state] {
        state = state * 1103515245u + 12345u;
        return static_cast<double>((state >> 8) % 1000000u) / 1000.0;
    };
    for (long written = 0, contour = 1; written < points; ++contour) {
        std::fprintf(out, "oContour[C%ld]( cmnt[generated] )\n{\n  vsurface(0.000)\n  vdepth(-5.000)\n", contour);
        for (int i = 1; i <= kPointsPerContour && written < points; ++i, ++written) {
            std::fprintf(out, "  oP[%d]( x[%.3f] y[%.3f] z[%.3f] )\n", i, next(), next(), -5.0);
        }
        std::fputs("}\n\n", out);
    }
    std::fclose(out);
}

// Peak and current resident memory in kB from /proc (0 where unavailable).
long statusField(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(field, 0) == 0) return std::atol(line.c_str() + std::char_traits<char>::length(field));
    }
    return 0;
}

// Resets the kernel's peak-RSS mark so that VmHWM measures from now on.
bool resetPeak() {
    std::ofstream clear("/proc/self/clear_refs");
    clear << "5";
    clear.flush();
    return static_cast<bool>(clear);
}

}  // namespace

int main(int argc, char** argv) {
    const std::filesystem::path directory =
        argc > 1 ? std::filesystem::path(argv[1]) : std::filesystem::temp_directory_path();
    std::printf("%10s %12s %10s %10s %9s %9s %14s\n", "points", "bytes", "seconds", "cpu s", "MB/s", "contours",
                "peak growth kB");
    for (long points : {10000L, 100000L, 1000000L}) {
        const std::string path = (directory / ("exchange-walk-" + std::to_string(points) + ".twx")).string();
        generate(path, points);
        const auto bytes = static_cast<double>(std::filesystem::file_size(path));
        double best = 1e30;
        double bestCpu = 1e30;
        Totals totals;
        const bool peakReset = resetPeak();
        const long baseline = statusField("VmRSS:");
        for (int run = 0; run < kRuns; ++run) {
            totals.points = totals.contours = 0;
            totals.sum = 0.0;
            const auto start = std::chrono::steady_clock::now();
            const std::clock_t cpuStart = std::clock();
            const std::int32_t result = readContours(path, totals, &acceptEveryHead);
            const double cpu = static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC;
            const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
            best = std::min(best, elapsed.count());
            bestCpu = std::min(bestCpu, cpu);
            if (result != 1 || totals.points != points) {
                std::fprintf(stderr, "walk failed: result %d, %ld points\n", result, totals.points);
                return 1;
            }
        }
        const long growth = peakReset ? statusField("VmHWM:") - baseline : -1;
        std::printf("%10ld %12.0f %10.3f %10.3f %9.1f %9ld %14ld\n", points, bytes, best, bestCpu, bytes / best / 1e6,
                    totals.contours, growth);
        std::filesystem::remove(path);
    }
#if defined(__linux__)
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("peak resident memory of the whole process: %ld kB\n", usage.ru_maxrss);
#endif
    return 0;
}
