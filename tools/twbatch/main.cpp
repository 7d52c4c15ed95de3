// twbatch: compares two builds of the module on many seeded jobs.
//
//   twbatch make DIR COUNT SEED       writes COUNT jobs into DIR
//   twbatch run MODULE DIR            runs every job in DIR through MODULE
//   twbatch compare REF OTHER [--crlf] compares the outputs of two runs
//   twbatch stress MODULE DIR TAG ROUNDS
//                                     runs a job of its own ROUNDS times in
//                                     DIR, which other twbatch stress
//                                     processes share, checking each output
//
// Exit status: 0 on success (compare: no difference; stress: every output
// held its own source's points), 1 when compare finds a difference or stress
// a wrong output, 2 on a usage or file error.
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

#include "twbatch/batch_run.h"
#include "twbatch/job_set.h"
#include "twbatch/output_compare.h"
#include "twbatch/stress_run.h"

namespace {

int usage() {
    std::fprintf(stderr,
                 "usage: twbatch make DIR COUNT SEED | run MODULE DIR | compare REFERENCE OTHER [--crlf] |\n"
                 "       stress MODULE DIR TAG ROUNDS\n");
    return 2;
}

int printComparison(const twbatch::Comparison& comparison) {
    std::printf("%-16s %5s %7s %6s %9s %6s %6s %7s\n", "algorithm", "runs", "missing", "status", "line-ends",
                "files", "orders", "lengths");
    for (const auto& [algorithm, tally] : comparison.byAlgorithm) {
        std::printf("%-16s %5d %7d %6d %9d %6d %6d %7d\n", algorithm.c_str(), tally.runs, tally.missing,
                    tally.status, tally.lineEnds, tally.files, tally.orders, tally.lengths);
    }
    std::printf("%d of %d jobs differ\n", comparison.jobsDiffering, comparison.jobs);
    for (const std::string& sample : comparison.samples) std::printf("  %s\n", sample.c_str());
    return comparison.clean() ? 0 : 1;
}

int run(int argc, char** argv) {
    if (argc < 2) return usage();
    const std::string command = argv[1];
    std::string error;
    if (command == "make" && argc == 5) {
        const int count = std::atoi(argv[3]);
        if (count <= 0) return usage();
        if (!twbatch::writeJobSet(argv[2], count, std::strtoull(argv[4], nullptr, 10), error)) {
            std::fprintf(stderr, "twbatch: %s\n", error.c_str());
            return 2;
        }
        return 0;
    }
    if (command == "run" && argc == 4) {
        const int runs = twbatch::runJobSet(argv[2], argv[3], error);
        if (runs < 0) {
            std::fprintf(stderr, "twbatch: %s\n", error.c_str());
            return 2;
        }
        std::printf("%d runs\n", runs);
        return 0;
    }
    if (command == "compare" && (argc == 4 || (argc == 5 && std::string(argv[4]) == "--crlf"))) {
        const auto ends = argc == 5 ? twbatch::LineEnds::crlf : twbatch::LineEnds::lf;
        return printComparison(twbatch::compareJobSets(argv[2], argv[3], ends));
    }
    if (command == "stress" && argc == 6) {
        const int tag = std::atoi(argv[4]);
        const int rounds = std::atoi(argv[5]);
        if (tag < 0 || rounds <= 0) return usage();
        const twbatch::StressResult result = twbatch::runStress(argv[2], argv[3], tag, rounds, error);
        if (result.rounds < 0) {
            std::fprintf(stderr, "twbatch: %s\n", error.c_str());
            return 2;
        }
        std::printf("stress %d: %d runs, %d wrong%s%s\n", tag, result.rounds, result.wrong,
                    result.first.empty() ? "" : "; first: ", result.first.c_str());
        return result.wrong == 0 ? 0 : 1;
    }
    return usage();
}

}  // namespace

int main(int argc, char** argv) {
    try {
        return run(argc, argv);
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "twbatch: %s\n", failure.what());
        return 2;
    }
}
