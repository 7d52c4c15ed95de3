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

private:
    void takeLine(const std::string& line);

    std::size_t offset_ = 0;
    std::string partialLine_;
    std::size_t count_ = 0;
};

// The line shown: "<written>/<total> contours written, <seconds> s", without
// "/<total>" when the total is not known.
std::string progressLine(std::size_t written, std::optional<std::size_t> total, double seconds);

// Shows progress on `out` from kProgressDelay after construction until
// stop() or destruction, then clears its line. Construct it only when
// progress is wanted (a terminal, and not turned off).
class ProgressDisplay {
public:
    ProgressDisplay(std::string pendingFile, std::optional<std::size_t> totalContours, std::FILE* out);
    ~ProgressDisplay();
    ProgressDisplay(const ProgressDisplay&) = delete;
    ProgressDisplay& operator=(const ProgressDisplay&) = delete;

    void stop();

private:
    void run();

    std::string pendingFile_;
    std::optional<std::size_t> total_;
    std::FILE* out_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool stopping_ = false;
    std::thread thread_;
};

}  // namespace twcycle
