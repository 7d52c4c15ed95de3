#include "job_report.h"

#include <algorithm>

#include "cycle/working_copy_claims.h"
#include "twcycle/exit_status.h"
#include "output/geometry_writer.h"
#include "twcycle/job/result_file.h"
#include "result_summary.h"
#include "svg_picture.h"

namespace twcycle {
namespace {

// Why the job has nothing to show, or empty when it has an output file.
std::string nothingToShow(const PreparedJob& job) {
    switch (job.settings.kind) {
        case JobKind::StandardInput:
            return "the job was read from standard input and cannot be read again; no summary";
        case JobKind::CfgFile:
            return "a .CFG job names no geometry output file; no summary";
        case JobKind::ParameterFile:
            break;
    }
    if (!job.settings.geoOut) return "the job sets no geoOut, so no output file was written; no summary";
    return {};
}

std::string countText(std::size_t count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

std::string caption(const PreparedJob& job, const std::vector<ResultContour>& results) {
    std::size_t points = 0;
    for (const ResultContour& contour : results) points += contour.points.size();
    return job.settings.geoSource.value_or("(no geoSource)") + " -> " + *job.settings.geoOut + ": " +
           countText(results.size(), "contour", "contours") + ", " + countText(points, "point", "points");
}

}  // namespace

PreparedJob prepareJob(const std::string& identifier, const std::string& settingsSource) {
    PreparedJob job;
    job.settings = readJobSettings(identifier, settingsSource);
    job.checks = checkJobBeforeRun(identifier, settingsSource, job.settings);
    if (job.settings.geoSource) job.source = readSourceContours(*job.settings.geoSource);
    if (job.settings.geoOut) job.before = stampOutput(*job.settings.geoOut, job.settings.geoSource);
    job.otherRuns = tw::workingCopiesOfOtherRuns();
    return job;
}

std::string progressFile(const PreparedJob& job) {
    if (!nothingToShow(job).empty()) return {};
    return tw::pendingOutputName(*job.settings.geoOut);
}

std::optional<std::size_t> expectedContours(const PreparedJob& job) {
    if (job.source.status != SourceStatus::Read) return std::nullopt;
    return job.source.contours.size();
}

ProgressPlan progressPlan(const PreparedJob& job) {
    if (job.source.status != SourceStatus::Read) return std::nullopt;
    std::vector<PlannedContour> plan;
    for (const SourceContour& contour : job.source.contours) plan.push_back({contour.name, contour.points.size()});
    return plan;
}

namespace {

// Everything reportJob tells, as findings; returns early where nothing
// further can be shown.
void reportOutput(const PreparedJob& job, const HostOptions& options, Findings& findings, std::FILE* out) {
    if (const std::string reason = nothingToShow(job); !reason.empty()) {
        if (!options.svgFile.empty()) {
            findings.warn({}, reason + ", and no picture");
        } else {
            findings.note({}, reason);
        }
        return;
    }
    const std::string& geoOut = *job.settings.geoOut;
    if (const std::string reason = missingOutputReason(geoOut, job.before); !reason.empty()) {
        findings.error(kExitNoOutput, {}, reason);
        return;
    }
    const ResultReading result = readResultFile(geoOut);
    if (!result.error.empty()) {
        findings.error(kExitNoOutput, {}, "cannot read back the output file " + geoOut + ": " + result.error);
        return;
    }
    const std::vector<SourceContour>* source = nullptr;
    if (job.source.status == SourceStatus::Read) {
        source = &job.source.contours;
        compareWithSource(*source, result.contours, job.checks.places, geoOut, findings);
        if (source->size() != result.contours.size()) source = nullptr;  // the rows cannot be matched
    } else if (!job.settings.geoSource) {
        findings.warn({}, "the job sets no geoSource, so the output holds no contours");
    } else if (job.source.status == SourceStatus::StandardInput) {
        findings.note({}, "the geometry source is standard input; the input order is not shown");
    }

    if (!options.quiet) {
        std::fprintf(out, "%s\n", caption(job, result.contours).c_str());
        std::fputs(formatSummary(buildSummary(result.contours, source)).c_str(), out);
        std::fflush(out);
    }
    if (!options.svgFile.empty()) {
        PictureInput picture;
        picture.caption = caption(job, result.contours);
        picture.results = &result.contours;
        picture.source = source;
        if (!writeTextFile(options.svgFile, renderSvg(picture)))
            findings.error(kExitPictureFailed, {}, "cannot write the picture " + options.svgFile);
    }
}

}  // namespace

// Another run in the folder is the likeliest cause of an output that is not
// what this run read: it names the working copies other runs held before
// this run and hold now.
void nameOtherRuns(const PreparedJob& job, std::size_t findingsBefore, Findings& findings) {
    const std::vector<Finding>& all = findings.all();
    const auto firstError = std::find_if(all.begin() + static_cast<std::ptrdiff_t>(findingsBefore), all.end(),
                                         [](const Finding& finding) { return finding.severity == Severity::Error; });
    if (firstError == all.end()) return;
    std::vector<std::string> names = job.otherRuns;
    for (const std::string& name : tw::workingCopiesOfOtherRuns())
        if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
    if (names.empty()) return;
    std::string list;
    for (const std::string& name : names) list += (list.empty() ? "" : ", ") + name;
    findings.error(firstError->status, {},
                   "another run works in this folder (working copies in use: " + list +
                       "); runs that share a folder must not share their geoOut");
}

int reportJob(const PreparedJob& job, const HostOptions& options, std::FILE* out, std::FILE* err) {
    Findings findings = job.checks.findings;
    const std::size_t findingsBefore = findings.all().size();
    reportOutput(job, options, findings, out);
    nameOtherRuns(job, findingsBefore, findings);
    findings.printNew(err, options.quiet);
    return findings.exitStatus(options.strict);
}

}  // namespace twcycle
