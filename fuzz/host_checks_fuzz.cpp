// Fuzzes the host's checks of a job's files: the input is read as a
// geometry source (syntax errors, the reading on past them, point values)
// and as a parameter file with its places and dropped words; the contour
// readings of a source and of a result run on it too.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

#include "exit_status.h"
#include "twcycle/job/findings.h"
#include "twcycle/job/number_checks.h"
#include "twcycle/job/placed_parameters.h"
#include "twcycle/job/result_file.h"
#include "twcycle/job/source_check.h"
#include "twcycle/job/source_contours.h"

namespace {

// One file per process, written anew for every input.
const std::string& inputFile() {
    static const std::string path =
        (std::filesystem::temp_directory_path() / ("twcycle-host-checks-fuzz-" + std::to_string(::getpid())))
            .string();
    return path;
}

bool writeInput(const std::uint8_t* data, std::size_t size) {
    std::FILE* file = std::fopen(inputFile().c_str(), "wb");
    if (file == nullptr) return false;
    const bool written = std::fwrite(data, 1, size, file) == size;
    return std::fclose(file) == 0 && written;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (!writeInput(data, size)) return 0;
    twcycle::Findings findings;
    twcycle::checkSource(twcycle::SourceCheck{inputFile(), {"job.pcf", 1, 14}, 3}, findings);
    for (const twcycle::Finding& finding : findings.all()) {
        if (finding.severity == twcycle::Severity::Error && finding.status != twcycle::kExitMissingInput &&
            finding.status != twcycle::kExitPointsLost)
            __builtin_trap();
        if (!finding.place.file.empty() && finding.place.line < 0) __builtin_trap();
        (void)twcycle::findingLine(finding);
    }

    // The host's two contour readings of the same file.
    const twcycle::SourceReading source = twcycle::readSourceContours(inputFile());
    for (const twcycle::SourceContour& contour : source.contours) {
        if (contour.points.empty()) __builtin_trap();
    }
    const twcycle::ResultReading result = twcycle::readResultFile(inputFile());
    if (!result.error.empty() && !result.contours.empty()) __builtin_trap();
    for (const twcycle::ResultContour& contour : result.contours) {
        if (contour.points.size() != static_cast<std::size_t>(contour.declaredCount)) __builtin_trap();
    }

    const twcycle::PlacedParameterFile parameters = twcycle::readPlacedParameters(inputFile());
    for (const twcycle::PlacedEntry& entry : parameters.entries) {
        if (entry.place.line < 1 || entry.valuePlace.line < entry.place.line) __builtin_trap();
        const twcycle::NumberReading reading = twcycle::readNumber(entry.value);
        (void)twcycle::misreadText(entry.value, reading);
        (void)twcycle::writeForm(reading.value, 3);
    }
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::size_t offset = 0;
    (void)twcycle::droppedWords(text, offset);
    if (offset > text.size()) __builtin_trap();
    std::remove(inputFile().c_str());
    return 0;
}
