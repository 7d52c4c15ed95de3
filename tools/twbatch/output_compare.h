// Comparison of the outputs of two job-set runs (see job_set.h and
// batch_run.h): the reference tree, written with LF line ends, and the other
// tree, whose text files end their lines as `LineEnds` says.
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace twbatch {

enum class LineEnds { lf, crlf };

// True when every line of `text` ends as `ends` says: LF alone, or CR LF
// (and no CR anywhere else). A last line without an end is allowed.
bool endsEveryLineWith(const std::string& text, LineEnds ends);

// `text` with every CR LF turned into LF.
std::string withLfLineEnds(const std::string& text);

// What an output file says about a run: the point ids in the order they are
// written, and the length of every contour ("L=" in its comment), as texts.
struct OutputSummary {
    std::vector<std::string> order;
    std::vector<std::string> lengths;
};
OutputSummary summarizeOutput(const std::string& text);

// How the other run of one job and algorithm differs from the reference.
struct RunDifference {
    bool missing = false;   // an output or run line is missing on either side
    bool status = false;    // twCSexecCycle returned something else
    bool lineEnds = false;  // the other file does not end its lines as expected
    bool file = false;      // the texts differ after line ends are made LF
    bool order = false;
    bool length = false;
    bool any() const { return missing || status || lineEnds || file || order || length; }
};
RunDifference compareOutputs(const std::string& reference, const std::string& other, LineEnds otherEnds);

// Counts per algorithm name.
struct Tally {
    int runs = 0;
    int missing = 0;
    int status = 0;
    int lineEnds = 0;
    int files = 0;
    int orders = 0;
    int lengths = 0;
};

struct Comparison {
    std::map<std::string, Tally> byAlgorithm;
    int jobs = 0;
    int jobsDiffering = 0;             // jobs with a difference in any run
    std::vector<std::string> samples;  // "job012/insert: order, file", the first few
    bool clean() const { return jobsDiffering == 0 && jobs > 0; }
};

// Compares every job folder of `reference` with the same folder of `other`.
// A reference run that was refused counts as missing: a comparison of runs
// that did nothing would prove nothing.
Comparison compareJobSets(const std::filesystem::path& reference, const std::filesystem::path& other,
                          LineEnds otherEnds);

}  // namespace twbatch
