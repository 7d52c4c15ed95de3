// The host's look at a geometry source before the run: whether it can be
// read at all, where the reading will stop (a syntax error, a Ctrl-Z byte)
// and what the module therefore never reads, and point values that the
// module misreads or cannot write back.
#pragma once

#include <string>

#include "findings.h"

namespace twcycle {

struct SourceCheck {
    std::string geoSource;  // as the job names it
    FilePlace setAt;        // where the job sets geoSource
    unsigned places = 6;    // the output precision of the run
};

// Adds what it finds to `findings`. A missing, unreadable or refused source
// and a file that is no exchange file are errors of kExitMissingInput;
// points the module will not read or cannot write are errors of
// kExitPointsLost; misread values are warnings. The standard input is not
// looked at: only the module may consume it.
void checkSource(const SourceCheck& check, Findings& findings);

}  // namespace twcycle
