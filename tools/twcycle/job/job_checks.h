// The host's checks of a job, before and after the module runs it.
//
// Before: the definition and job files (missing files, values the module
// cuts short, an unknown algorithm name, an unusable precision or start
// point) and the geometry source (see source_check.h). After: the points
// the module read, compared contour by contour with the points it wrote.
#pragma once

#include <string>
#include <vector>

#include "findings.h"
#include "job_settings.h"
#include "result_file.h"
#include "source_contours.h"

namespace twcycle {

struct JobCheckResult {
    Findings findings;
    unsigned places = 6;  // the output precision the run will use
};

// Checks what a normal run of `settingsSource` will read.
JobCheckResult checkJobBeforeRun(const std::string& identifier, const std::string& settingsSource,
                                 const JobSettings& settings);

// Compares the contours the module read from the source with those it
// wrote into `geoOut`: their number, and per contour the points, each as
// the output precision writes it. Every difference is an error of
// kExitPointsLost.
void compareWithSource(const std::vector<SourceContour>& source, const std::vector<ResultContour>& results,
                       unsigned places, const std::string& geoOut, Findings& findings);

}  // namespace twcycle
