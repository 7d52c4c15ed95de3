// Progress of a long run, shown on standard error while the module works.
//
// The module reports nothing while it runs, so the progress is read from its
// output as it grows: the file is written under a pending name until the run
// ends, and every ordered contour begins with a head line "oContour...(
// cmnt[N=...". A background thread polls that file; the module runs
// undisturbed on the calling thread.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdio>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace twcycle {

// Polling interval, and how long a run goes before progress is shown.
inline constexpr std::chrono::milliseconds kProgressInterval{200};
inline constexpr std::chrono::milliseconds kProgressDelay{1000};

// True when standard error is a terminal.
bool standardErrorIsTerminal();

// Counts the ordered-contour head lines of a file that grows between calls.
// Each call reads only what was appended since the last one; a file that
// got shorter (written anew) is counted from its start again.
class ContourHeadCounter {
public:
    // Reads what `path` has gained; a missing file changes nothing.
    void poll(const std::string& path);
    std::size_t count() const { return count_; }
    // Point lines written into ordered contours, in all and in the last one.
    std::size_t points() const { return points_; }
    std::size_t pointsInLast() const { return pointsInLast_; }

private:
    void takeLine(const std::string& line);
    void restart();

    std::size_t offset_ = 0;
    std::string partialLine_;
    std::size_t count_ = 0;
    bool inOrdered_ = false;
    std::size_t points_ = 0;
    std::size_t pointsInLast_ = 0;
};

// The contours the run will write, as read from the source before it.
struct PlannedContour {
    std::string name;
    std::size_t points = 0;
};
using ProgressPlan = std::optional<std::vector<PlannedContour>>;

// The line shown: "<written>/<total> contours written, <seconds> s", without
// "/<total>" when the total is not known.
std::string progressLine(std::size_t written, std::optional<std::size_t> total, double seconds);

// The line shown when the contours are known: the contour being worked on
// (the one being written, or the next one once the last is complete), its
// point count, the share of all points written, the time:
// "contour 3/5 \"T10\" (120 points), 45 % of the points written, 12.3 s".
std::string plannedProgressLine(const std::vector<PlannedContour>& plan, const ContourHeadCounter& counter,
                                double seconds);

// Shows progress on `out` from kProgressDelay after construction until
// stop() or destruction, then clears its line. Construct it only when
// progress is wanted (a terminal, and not turned off).
class ProgressDisplay {
public:
    ProgressDisplay(std::string pendingFile, ProgressPlan plan, std::FILE* out);
    ~ProgressDisplay();
    ProgressDisplay(const ProgressDisplay&) = delete;
    ProgressDisplay& operator=(const ProgressDisplay&) = delete;

    void stop();

private:
    void run();

    std::string pendingFile_;
    ProgressPlan plan_;
    std::FILE* out_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool stopping_ = false;
    std::thread thread_;
};

}  // namespace twcycle
