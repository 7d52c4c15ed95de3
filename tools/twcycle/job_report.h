// What the host shows about a normal run: what it learns before the run
// (settings, input order, the output file's previous state) and, after it,
// the checks of the output, the summary table and the picture.
#pragma once

#include <cstddef>
#include <cstdio>
#include <optional>
#include <string>

#include "host_options.h"
#include "job_settings.h"
#include "output_check.h"
#include "source_contours.h"

namespace twcycle {

struct PreparedJob {
    JobSettings settings;
    SourceReading source;
    OutputStamps before;  // meaningful when settings.geoOut is set
};

// Reads the job's settings and its geometry source, and stamps the output
// file. Must run before the module: the output may replace the source.
PreparedJob prepareJob(const std::string& identifier, const std::string& settingsSource);

// The file whose growth shows the progress of the run, or empty when there is none.
std::string progressFile(const PreparedJob& job);

// The number of contours the run will write; none when the source could not
// be read before the run.
std::optional<std::size_t> expectedContours(const PreparedJob& job);

// After a run the module accepted: checks the output, prints the summary on
// `out` (unless quiet) and notes and errors on `err`, writes the picture.
// Returns the exit status.
int reportJob(const PreparedJob& job, const HostOptions& options, std::FILE* out, std::FILE* err);

}  // namespace twcycle
