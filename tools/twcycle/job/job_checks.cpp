#include "job_checks.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <filesystem>
#include <utility>

#include "twcycle/algorithm_guide.h"
#include "twcycle/exit_status.h"
#include "text/number_text.h"
#include "number_checks.h"
#include "optimizer/optimize_codes.h"
#include "output/format_real.h"
#include "placed_parameters.h"
#include "settings/configuration.h"
#include "source_check.h"

namespace twcycle {
namespace {

std::string quoted(const std::string& text) { return "\"" + text + "\""; }

bool fileExists(const std::string& path) {
    std::error_code error;
    return std::filesystem::exists(path, error);
}

void checkDroppedWords(const PlacedParameterFile& file, Findings& findings) {
    for (const PlacedEntry& entry : file.entries) {
        if (entry.ignored.empty()) continue;
        findings.warn(entry.valuePlace, "the value of " + entry.name + " ends at the blank: the module reads " +
                                            quoted(entry.value) + " and drops " + quoted(entry.ignored) +
                                            "; put the whole value in double quotes");
    }
}

void checkAlgorithm(const PlacedSettings& settings, Findings& findings) {
    const PlacedEntry* entry = settings.find("algorithm");
    if (entry == nullptr || isAlgorithmName(entry->value)) return;
    const std::string fallback = algorithmName(tw::kDefaultAlgorithm).value_or("its default");
    std::string text = "unknown algorithm " + quoted(entry->value) + ": the module runs its default, " + fallback;
    if (fileExists(entry->value)) {
        text += " (the value names a file, which only the -A switch reads as its message file)";
    } else {
        const std::vector<std::string> nearest = nearestAlgorithmNames(entry->value);
        text += "; did you mean ";
        for (std::size_t i = 0; i < nearest.size(); ++i) text += (i == 0 ? "" : " or ") + quoted(nearest[i]);
        text += "? (names are case-sensitive; twcycle --list-algorithms)";
    }
    findings.warn(entry->valuePlace, text);
}

bool isWholeNumber(const std::string& text) {
    std::size_t i = text[0] == '+' || text[0] == '-' ? 1 : 0;
    if (i >= text.size()) return false;
    for (; i < text.size(); ++i)
        if (text[i] < '0' || text[i] > '9') return false;
    return true;
}

void checkPrecision(const PlacedEntry* entry, unsigned places, Findings& findings) {
    if (entry == nullptr) return;
    const std::string& text = entry->value;
    const std::string decimals = std::to_string(places) + (places == 1 ? " decimal" : " decimals");
    const long long read = tw::leadingInteger(text.c_str());
    if (!isWholeNumber(text)) {
        const bool digits = readNumber(text).form != NumberForm::NoNumber;
        findings.warn(entry->valuePlace,
                      "precision " + quoted(text) + (digits ? " is not a whole number" : " is no number") +
                          ": the module writes " + decimals + " and copies " + quoted(text) +
                          " into the output's vprecision line");
        return;
    }
    if (read < static_cast<long long>(tw::kMinOutputPlaces) || read > static_cast<long long>(tw::kMaxOutputPlaces))
        findings.warn(entry->valuePlace, "precision " + text + " is outside 1 to 8: the module writes " + decimals);
}

void checkStart(const PlacedSettings& settings, unsigned places, Findings& findings) {
    for (const char* name : {"startX", "startY"}) {
        const PlacedEntry* entry = settings.find(name);
        if (entry == nullptr) continue;
        const NumberReading reading = readNumber(entry->value);
        if (reading.form != NumberForm::Exact) {
            findings.warn(entry->valuePlace, std::string(name) + " " + quoted(entry->value) + " " +
                                                 misreadText(entry->value, reading));
        } else if (writeForm(reading.value, places) != WriteForm::Fine) {
            findings.warn(entry->valuePlace, std::string(name) + " " + entry->value +
                                                 " is too large for the output: written as " +
                                                 writtenText(reading.value, places));
        }
    }
}

// The bit patterns of a point as the output holds it, for exact comparison
// (also of "inf" and "nan", which the output may hold).
using PointBits = std::pair<std::uint64_t, std::uint64_t>;

PointBits bitsOf(double x, double y) { return {std::bit_cast<std::uint64_t>(x), std::bit_cast<std::uint64_t>(y)}; }

double asWritten(double value) {
    char buffer[tw::kRealTextCapacity];
    tw::formatReal(buffer, value);
    return tw::leadingReal(buffer);
}

std::string contourName(const std::string& name) { return name.empty() ? "(no name)" : quoted(name); }

std::string pointText(const PlanePoint& point, unsigned places) {
    return "(" + writtenText(point.x, places) + ", " + writtenText(point.y, places) + ")";
}

// Restores the host's own output precision however a comparison ends.
class PrecisionScope {
public:
    explicit PrecisionScope(unsigned places) : saved_(tw::outputPrecision()) {
        tw::setOutputPrecision(static_cast<long>(places));
    }
    ~PrecisionScope() { tw::setOutputPrecision(static_cast<long>(saved_)); }
    PrecisionScope(const PrecisionScope&) = delete;
    PrecisionScope& operator=(const PrecisionScope&) = delete;

private:
    unsigned saved_;
};

}  // namespace

JobCheckResult checkJobBeforeRun(const std::string& identifier, const std::string& settingsSource,
                                 const JobSettings& settings) {
    JobCheckResult result;
    Findings& findings = result.findings;
    if (settings.kind == JobKind::StandardInput) return result;
    if (settings.kind == JobKind::CfgFile) {
        const std::string job = tw::withExtension(settingsSource, ".CFG");
        if (!fileExists(job)) findings.error(kExitMissingInput, FilePlace{job}, "the job file does not exist");
        return result;
    }
    const PlacedParameterFile definitions = readPlacedParameters(identifier + ".def");
    if (!definitions.opened)
        findings.note(FilePlace{definitions.path}, "no definition file here; the job's own settings are all there is");
    const PlacedParameterFile job = readPlacedParameters(tw::withExtension(settingsSource, ".pcf"));
    if (!job.opened)
        findings.error(kExitMissingInput, FilePlace{job.path},
                       fileExists(job.path) ? "the job file cannot be read" : "the job file does not exist");
    checkDroppedWords(definitions, findings);
    checkDroppedWords(job, findings);

    PlacedSettings placed;
    placed.add(definitions);
    placed.add(job);
    const PlacedEntry* precision = placed.find("precision");
    result.places = outputPlaces(precision ? &precision->value : nullptr);
    checkAlgorithm(placed, findings);
    checkPrecision(precision, result.places, findings);
    checkStart(placed, result.places, findings);
    if (const PlacedEntry* source = placed.find("geoSource"))
        checkSource(SourceCheck{source->value, source->valuePlace, result.places}, findings);
    return result;
}

void compareWithSource(const std::vector<SourceContour>& source, const std::vector<ResultContour>& results,
                       unsigned places, const std::string& geoOut, Findings& findings) {
    const FilePlace output{geoOut};
    FindingLimiter shown;
    const std::size_t common = std::min(source.size(), results.size());
    PrecisionScope precision(places);
    for (std::size_t i = 0; i < common; ++i) {
        const SourceContour& read = source[i];
        const ResultContour& written = results[i];
        const std::string label = "contour " + std::to_string(i + 1) + " " + contourName(read.name);
        if (read.points.size() != written.points.size()) {
            if (shown.take())
                findings.error(kExitPointsLost, output,
                               label + ": the module read " + std::to_string(read.points.size()) +
                                   " points and wrote " + std::to_string(written.points.size()));
            continue;
        }
        std::vector<PointBits> expected;
        std::vector<PointBits> found;
        for (const PlanePoint& point : read.points) expected.push_back(bitsOf(asWritten(point.x), asWritten(point.y)));
        for (const PlanePoint& point : written.points) found.push_back(bitsOf(point.x, point.y));
        std::sort(expected.begin(), expected.end());
        std::sort(found.begin(), found.end());
        if (expected == found) continue;
        std::size_t different = 0;
        std::optional<PlanePoint> first;
        for (const PlanePoint& point : written.points) {
            if (std::binary_search(expected.begin(), expected.end(), bitsOf(point.x, point.y))) continue;
            ++different;
            if (!first) first = point;
        }
        if (shown.take())
            findings.error(kExitPointsLost, output,
                           label + ": " + std::to_string(std::max<std::size_t>(different, 1)) +
                               " written points are not the points read" +
                               (first ? " (the first is " + pointText(*first, places) + ")" : std::string()));
    }
    for (std::size_t i = common; i < source.size(); ++i)
        if (shown.take())
            findings.error(kExitPointsLost, output,
                           "contour " + std::to_string(i + 1) + " " + contourName(source[i].name) + " (" +
                               std::to_string(source[i].points.size()) + " points) was read but not written");
    for (std::size_t i = common; i < results.size(); ++i)
        if (shown.take())
            findings.error(kExitPointsLost, output,
                           "contour " + std::to_string(i + 1) + " " + contourName(results[i].name) +
                               " was written but not read from the source");
    if (shown.hidden() > 0)
        findings.error(kExitPointsLost, output, std::to_string(shown.hidden()) + " more contours differ");
}

}  // namespace twcycle
