// What the host shows about a normal run: what it learns before the run
// (settings, input order, the output file's previous state) and, after it,
// the checks of the output, the summary table and the picture.
#pragma once

#include <cstddef>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "twcycle/job/findings.h"
#include "twcycle/host_options.h"
#include "twcycle/job/job_checks.h"
#include "twcycle/job/job_settings.h"
#include "twcycle/job/output_check.h"
#include "progress.h"
#include "twcycle/job/source_contours.h"

namespace twcycle {

struct PreparedJob {
    JobSettings settings;
    SourceReading source;
    OutputStamps before;  // meaningful when settings.geoOut is set
    JobCheckResult checks;  // what the checks before the run found
    // Working copies of other runs in the current folder before the run.
    std::vector<std::string> otherRuns;
};

// Reads and checks the job's settings and its geometry source, and stamps
// the output file. Must run before the module: the output may replace the
// source.
PreparedJob prepareJob(const std::string& identifier, const std::string& settingsSource);

// The file whose growth shows the progress of the run, or empty when there is none.
std::string progressFile(const PreparedJob& job);

// The number of contours the run will write; none when the source could not
// be read before the run.
std::optional<std::size_t> expectedContours(const PreparedJob& job);

// The contours the run will write with their point counts, for the progress
// display; none when the source could not be read before the run.
ProgressPlan progressPlan(const PreparedJob& job);

// After a run the module accepted: checks the output against the source,
// prints the summary on `out` (unless quiet) and the findings not printed
// yet on `err`, writes the picture. Returns the exit status: that of the
// first error found before or after the run, kExitWarnings for warnings
// under --strict, else kExitOk. When the output check fails while another
// run works in the same folder, the error names that run's working copy.
int reportJob(const PreparedJob& job, const HostOptions& options, std::FILE* out, std::FILE* err);

}  // namespace twcycle
