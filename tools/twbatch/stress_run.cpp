#include "twbatch/stress_run.h"

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <random>
#include <utility>
#include <vector>

#include "exchange/contour_reading.h"
#include "platform/platform.h"
#include "twpntopt.h"

namespace twbatch {
namespace {

using ExecCycle = int32_t(TWCS_CALL*)(Cycle*, int32_t, char**, HostRecord*);
using Points = std::vector<std::pair<double, double>>;

constexpr int kPoints = 3000;

bool writeText(const std::filesystem::path& path, const std::string& text) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << text;
    file.close();
    return static_cast<bool>(file);
}

// Whole-number points, so that the output's text reads back exactly.
Points writeSource(const std::string& name, int tag, int round) {
    std::mt19937_64 random(static_cast<std::uint64_t>(tag) * 7919u + static_cast<std::uint64_t>(round));
    std::string text = "tarnWELL Data Exchange File, text edition 1993.\ntWX-Version: 1.0\nGeometry\nstress\n\n"
                       "oContour[S]( )\n{\n";
    Points points;
    for (int i = 0; i < kPoints; ++i) {
        const long x = static_cast<long>(random() % 100000);
        const long y = static_cast<long>(random() % 100000);
        text += "  oP[" + std::to_string(i) + "]( x[" + std::to_string(x) + "] y[" + std::to_string(y) + "] )\n";
        points.emplace_back(static_cast<double>(x), static_cast<double>(y));
    }
    text += "}\n";
    if (!writeText(name, text)) return {};
    std::sort(points.begin(), points.end());
    return points;
}

Points outputPoints(const std::string& name) {
    struct Gather : tw::ContourVisitor {
        Points points;
        void point(tw::ExchangeToken&, const tw::CoordinateCarry& carry) override {
            points.emplace_back(carry.value(0), carry.value(1));
        }
    } gather;
    if (!tw::platform::fileExists(name) || tw::readContours(name, gather, tw::acceptEveryHead) != 1) return {};
    std::sort(gather.points.begin(), gather.points.end());
    return gather.points;
}

// Restores the current directory however the run ends.
class DirectoryKeeper {
public:
    DirectoryKeeper() : previous_(std::filesystem::current_path()) {}
    ~DirectoryKeeper() {
        std::error_code ignored;
        std::filesystem::current_path(previous_, ignored);
    }
    DirectoryKeeper(const DirectoryKeeper&) = delete;
    DirectoryKeeper& operator=(const DirectoryKeeper&) = delete;

private:
    std::filesystem::path previous_;
};

}  // namespace

StressResult runStress(const std::string& modulePath, const std::filesystem::path& folder, int tag, int rounds,
                       std::string& error) {
    StressResult result;
    tw::platform::DynamicLibrary module(modulePath);
    const auto execCycle = module.loaded() ? reinterpret_cast<ExecCycle>(module.symbol("twCSexecCycle")) : nullptr;
    if (execCycle == nullptr) {
        error = "cannot load " + modulePath + " " + module.error();
        result.rounds = -1;
        return result;
    }
    DirectoryKeeper keeper;
    std::error_code failure;
    std::filesystem::current_path(folder, failure);
    const std::string job = "stress" + std::to_string(tag);
    const std::string pending = "twPntOpt.def." + std::to_string(tag);
    // The processes of one stress share the folder's definition file. Whoever
    // starts them writes it first where it can: on Windows, replacing it
    // while another process reads it fails.
    const bool haveDefinition = !failure && std::filesystem::exists("twPntOpt.def", failure);
    if (failure ||
        (!haveDefinition && (!writeText(pending, "precision := 3\nwritePath := false\nremoveTempFiles := true\n") ||
                             !tw::platform::replaceFile(pending, "twPntOpt.def"))) ||
        !writeText(job + ".pcf", "geoSource := " + job + ".twx\ngeoOut := " + job +
                                     "_out.twx\nalgorithm := nearestDirCross\nstartX := 0\nstartY := 0\n")) {
        error = "cannot write the job in " + folder.string();
        result.rounds = -1;
        return result;
    }
    for (int round = 0; round < rounds; ++round) {
        const Points expected = writeSource(job + ".twx", tag, round);
        tw::platform::removeFile(job + "_out.twx");
        std::string argument = "-S" + job;
        char* arguments[] = {argument.data()};
        const int32_t accepted = execCycle(nullptr, 1, arguments, nullptr);
        ++result.rounds;
        const Points written = outputPoints(job + "_out.twx");
        if (accepted == 1 && !expected.empty() && written == expected) continue;
        ++result.wrong;
        if (result.first.empty())
            result.first = "round " + std::to_string(round) + ": returned " + std::to_string(accepted) + ", " +
                           std::to_string(written.size()) + " points written of " + std::to_string(expected.size());
    }
    return result;
}

}  // namespace twbatch
