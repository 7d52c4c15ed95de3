// Runs whole jobs through the module's cycle, as twCSexecCycle does: the
// settings, the working copy, the reading of the contours, the ordering and
// the geometry file. The source is one contour of uniformly spread points
// (fixed seed), so the ordering of a large contour dominates the run.
//
// Prints the points, the algorithm, the best wall-clock and processor time
// of the runs, the size of the geometry file and a checksum of its bytes
// (equal checksums: equal output). On a shared machine the processor time is
// the steadier figure.
//
// Usage: bench_whole_job [--points N] [--algorithm NAME] [--runs R] [DIRECTORY]
//   defaults: 1000000 points, nearestDirected, 1 run, a fresh temporary folder
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "module/exec_cycle.h"

namespace {

namespace fs = std::filesystem;

struct Options {
    long points = 1000000;
    std::string algorithm = "nearestDirected";
    int runs = 1;
    fs::path directory;
};

[[noreturn]] void usage() {
    std::fputs("usage: bench_whole_job [--points N] [--algorithm NAME] [--runs R] [DIRECTORY]\n", stderr);
    std::exit(2);
}

Options parse(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        const bool hasValue = i + 1 < argc;
        if (argument == "--points" && hasValue) {
            options.points = std::atol(argv[++i]);
        } else if (argument == "--algorithm" && hasValue) {
            options.algorithm = argv[++i];
        } else if (argument == "--runs" && hasValue) {
            options.runs = std::atoi(argv[++i]);
        } else if (!argument.empty() && argument[0] != '-') {
            options.directory = argument;
        } else {
            usage();
        }
    }
    if (options.points < 1 || options.runs < 1) usage();
    return options;
}

void writeText(const fs::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
    if (!out) {
        std::perror(path.string().c_str());
        std::exit(1);
    }
}

void generate(const fs::path& path, long points) {
    std::FILE* out = std::fopen(path.string().c_str(), "wb");
    if (out == nullptr) {
        std::perror(path.string().c_str());
        std::exit(1);
    }
    std::fputs("tarnWELL Data Exchange File, text edition 1993.\ntWX-Version: 1.0\nGeometry\nbenchmark\n\n", out);
    std::fputs("oContour[C1]( cmnt[generated] )\n{\n  vsurface(0.000)\n  vdepth(-5.000)\n", out);
    unsigned state = 12345;
    auto next = [&state] {
        state = state * 1103515245u + 12345u;
        return static_cast<double>((state >> 8) % 1000000u) / 1000.0;
    };
    for (long i = 1; i <= points; ++i) {
        const double x = next();
        const double y = next();
        std::fprintf(out, "  oP[%ld]( x[%.3f] y[%.3f] z[-5.000] )\n", i, x, y);
    }
    std::fputs("}\n", out);
    if (std::fclose(out) != 0) {
        std::perror(path.string().c_str());
        std::exit(1);
    }
}

// FNV-1a over the file's bytes.
std::uint64_t checksum(const fs::path& path, std::uintmax_t& size) {
    std::ifstream in(path, std::ios::binary);
    std::uint64_t hash = 1469598103934665603ull;
    size = 0;
    char buffer[1 << 16];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
        for (std::streamsize k = 0; k < in.gcount(); ++k) {
            hash = (hash ^ static_cast<unsigned char>(buffer[k])) * 1099511628211ull;
        }
        size += static_cast<std::uintmax_t>(in.gcount());
    }
    return hash;
}

}  // namespace

int main(int argc, char** argv) {
    const Options options = parse(argc, argv);
    const bool temporary = options.directory.empty();
    const fs::path directory =
        temporary ? fs::temp_directory_path() / ("twpntopt_whole_job_" + std::to_string(std::time(nullptr)))
                  : options.directory;
    fs::create_directories(directory);
    const fs::path previous = fs::current_path();
    fs::current_path(directory);

    writeText("twPntOpt.def", "precision := 3\nremoveTempFiles := true\nwritePath := false\n");
    writeText("job.pcf", "geoSource := source.twx\ngeoOut := sorted.twx\nstartX := 0\nstartY := 0\nalgorithm := " +
                              options.algorithm + "\n");
    generate("source.twx", options.points);

    double bestWall = 0.0;
    double bestCpu = 0.0;
    for (int run = 0; run < options.runs; ++run) {
        std::string argument = "-Sjob";
        char* arguments[] = {argument.data()};
        const auto wallStart = std::chrono::steady_clock::now();
        const std::clock_t cpuStart = std::clock();
        const std::int32_t result = tw::execCycle(nullptr, 1, arguments, nullptr);
        const double cpu = static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC;
        const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
        if (result != 1 || tw::lastResultCode() != 0) {
            std::fprintf(stderr, "the job failed (return %d, result code %d)\n", result, tw::lastResultCode());
            return 1;
        }
        if (run == 0 || wall < bestWall) bestWall = wall;
        if (run == 0 || cpu < bestCpu) bestCpu = cpu;
    }

    std::uintmax_t size = 0;
    const std::uint64_t hash = checksum("sorted.twx", size);
    std::printf("%-10s %-18s %10s %10s %12s %18s\n", "points", "algorithm", "wall s", "cpu s", "output bytes",
                "output checksum");
    std::printf("%-10ld %-18s %10.3f %10.3f %12ju %018llx\n", options.points, options.algorithm.c_str(), bestWall,
                bestCpu, size, static_cast<unsigned long long>(hash));

    fs::current_path(previous);
    if (temporary) fs::remove_all(directory);
    return 0;
}
