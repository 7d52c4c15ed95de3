#include "twbatch/output_compare.h"

#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>

#include "twbatch/job_set.h"

namespace twbatch {
namespace {

std::optional<std::string> readWhole(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The value twCSexecCycle returned for `algorithm`, from a job's runs.txt.
std::optional<std::string> runStatus(const std::string& runs, const std::string& algorithm) {
    std::istringstream lines(runs);
    std::string name, status;
    while (lines >> name >> status) {
        if (name == algorithm) return status;
    }
    return std::nullopt;
}

// The text from position `at` up to the next `close`.
std::string between(const std::string& text, std::size_t at, char close) {
    const std::size_t end = text.find(close, at);
    return text.substr(at, end == std::string::npos ? std::string::npos : end - at);
}

}  // namespace

bool endsEveryLineWith(const std::string& text, LineEnds ends) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            if (ends == LineEnds::lf || i + 1 >= text.size() || text[i + 1] != '\n') return false;
        } else if (text[i] == '\n' && ends == LineEnds::crlf && (i == 0 || text[i - 1] != '\r')) {
            return false;
        }
    }
    return true;
}

std::string withLfLineEnds(const std::string& text) {
    std::string lf;
    lf.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        lf += text[i];
    }
    return lf;
}

OutputSummary summarizeOutput(const std::string& text) {
    OutputSummary summary;
    for (std::size_t at = text.find("oP["); at != std::string::npos; at = text.find("oP[", at + 3)) {
        summary.order.push_back(between(text, at + 3, ']'));
    }
    for (std::size_t at = text.find(";L="); at != std::string::npos; at = text.find(";L=", at + 3)) {
        summary.lengths.push_back(between(text, at + 3, ']'));
    }
    return summary;
}

RunDifference compareOutputs(const std::string& reference, const std::string& other, LineEnds otherEnds) {
    RunDifference difference;
    difference.lineEnds = !endsEveryLineWith(other, otherEnds);
    const std::string otherLf = withLfLineEnds(other);
    difference.file = otherLf != reference;
    const OutputSummary a = summarizeOutput(reference);
    const OutputSummary b = summarizeOutput(otherLf);
    difference.order = a.order != b.order;
    difference.length = a.lengths != b.lengths;
    return difference;
}

Comparison compareJobSets(const std::filesystem::path& reference, const std::filesystem::path& other,
                          LineEnds otherEnds) {
    Comparison comparison;
    for (int index = 0;; ++index) {
        const std::string name = jobFolderName(index);
        if (!std::filesystem::is_directory(reference / name)) break;
        ++comparison.jobs;
        const std::string referenceRuns = readWhole(reference / name / "runs.txt").value_or("");
        const std::string otherRuns = readWhole(other / name / "runs.txt").value_or("");
        bool jobDiffers = false;
        for (const char* algorithm : kAlgorithmNames) {
            Tally& tally = comparison.byAlgorithm[algorithm];
            ++tally.runs;
            const std::string file = std::string(algorithm) + ".twx";
            const std::optional<std::string> a = readWhole(reference / name / file);
            const std::optional<std::string> b = readWhole(other / name / file);
            const std::optional<std::string> statusA = runStatus(referenceRuns, algorithm);
            const std::optional<std::string> statusB = runStatus(otherRuns, algorithm);
            RunDifference difference;
            if (!a || !b || !statusA || !statusB || *statusA != "1") {
                difference.missing = true;
            } else {
                difference = compareOutputs(*a, *b, otherEnds);
                difference.status = *statusA != *statusB;
            }
            tally.missing += difference.missing;
            tally.status += difference.status;
            tally.lineEnds += difference.lineEnds;
            tally.files += difference.file;
            tally.orders += difference.order;
            tally.lengths += difference.length;
            if (!difference.any()) continue;
            jobDiffers = true;
            if (comparison.samples.size() < 10) {
                std::string what;
                const auto add = [&what](bool flag, const char* word) {
                    if (flag) what += (what.empty() ? "" : ", ") + std::string(word);
                };
                add(difference.missing, "missing");
                add(difference.status, "status");
                add(difference.lineEnds, "line ends");
                add(difference.file, "file");
                add(difference.order, "order");
                add(difference.length, "length");
                comparison.samples.push_back(name + "/" + algorithm + ": " + what);
            }
        }
        comparison.jobsDiffering += jobDiffers;
    }
    return comparison;
}

}  // namespace twbatch
