#include "progress.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <string_view>

#if defined(_WIN32)
#include <io.h>
#else
#include <unistd.h>
#endif

namespace twcycle {
namespace {

constexpr std::string_view kContourHead = "oContour";
constexpr std::string_view kOrderedComment = "( cmnt[N=";
constexpr std::string_view kPointLine = "oP";
constexpr std::size_t kReadPiece = 16384;

}  // namespace

bool standardErrorIsTerminal() {
#if defined(_WIN32)
    return _isatty(_fileno(stderr)) != 0;
#else
    return isatty(fileno(stderr)) != 0;
#endif
}

void ContourHeadCounter::takeLine(const std::string& line) {
    const std::string_view text(line);
    if (text.substr(0, kContourHead.size()) == kContourHead) {
        inOrdered_ = text.find(kOrderedComment) != std::string_view::npos;
        if (inOrdered_) {
            ++count_;
            pointsInLast_ = 0;
        }
        return;
    }
    const std::size_t first = text.find_first_not_of(' ');
    if (!inOrdered_ || first == std::string_view::npos || text.substr(first, kPointLine.size()) != kPointLine) return;
    const std::size_t after = first + kPointLine.size();
    if (after < text.size() && (text[after] == '[' || text[after] == '(')) {
        ++points_;
        ++pointsInLast_;
    }
}

void ContourHeadCounter::restart() {
    offset_ = 0;
    partialLine_.clear();
    count_ = 0;
    inOrdered_ = false;
    points_ = 0;
    pointsInLast_ = 0;
}

void ContourHeadCounter::poll(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return;
    file.seekg(0, std::ios::end);
    const std::streamoff size = file.tellg();
    if (size < 0) return;
    if (static_cast<std::size_t>(size) < offset_) restart();
    file.seekg(static_cast<std::streamoff>(offset_));
    char piece[kReadPiece];
    while (file.read(piece, sizeof piece) || file.gcount() > 0) {
        const std::size_t got = static_cast<std::size_t>(file.gcount());
        offset_ += got;
        for (std::size_t i = 0; i < got; ++i) {
            if (piece[i] == '\n' || piece[i] == '\r') {
                takeLine(partialLine_);
                partialLine_.clear();
            } else if (partialLine_.size() <= kContourHead.size() + kOrderedComment.size() ||
                       partialLine_.compare(0, kContourHead.size(), kContourHead) == 0) {
                // Only a contour head is ever looked at past its first characters.
                partialLine_ += piece[i];
            }
        }
    }
}

std::string progressLine(std::size_t written, std::optional<std::size_t> total, double seconds) {
    char time[64];
    std::snprintf(time, sizeof time, "%.1f", seconds);
    const std::string count = std::to_string(written) + (total ? "/" + std::to_string(*total) : std::string());
    return count + " contours written, " + time + " s";
}

std::string plannedProgressLine(const std::vector<PlannedContour>& plan, const ContourHeadCounter& counter,
                                double seconds) {
    std::size_t total = 0;
    for (const PlannedContour& contour : plan) total += contour.points;
    // The contour being written, or the next one once the last is complete.
    std::size_t current = counter.count();
    if (current == 0 || (current <= plan.size() && counter.pointsInLast() >= plan[current - 1].points)) ++current;
    if (current > plan.size()) current = plan.size();
    char time[64];
    std::snprintf(time, sizeof time, "%.1f", seconds);
    std::string line;
    if (current > 0) {
        const PlannedContour& contour = plan[current - 1];
        line = "contour " + std::to_string(current) + "/" + std::to_string(plan.size()) +
               (contour.name.empty() ? std::string() : " \"" + contour.name + "\"") + " (" +
               std::to_string(contour.points) + (contour.points == 1 ? " point), " : " points), ");
    }
    const std::size_t written = std::min(counter.points(), total);
    const std::size_t percent = total == 0 ? 100 : written * 100 / total;
    return line + std::to_string(percent) + " % of the points written, " + time + " s";
}

ProgressDisplay::ProgressDisplay(std::string pendingFile, ProgressPlan plan, std::FILE* out)
    : pendingFile_(std::move(pendingFile)), plan_(std::move(plan)), out_(out) {
    thread_ = std::thread([this] { run(); });
}

ProgressDisplay::~ProgressDisplay() { stop(); }

void ProgressDisplay::stop() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    if (thread_.joinable()) thread_.join();
}

void ProgressDisplay::run() {
    const auto begin = std::chrono::steady_clock::now();
    ContourHeadCounter counter;
    std::size_t shownWidth = 0;
    for (;;) {
        {
            std::unique_lock<std::mutex> lock(mutex_);
            if (wake_.wait_for(lock, kProgressInterval, [this] { return stopping_; })) break;
        }
        const auto elapsed = std::chrono::steady_clock::now() - begin;
        if (elapsed < kProgressDelay) continue;
        counter.poll(pendingFile_);
        const double seconds = std::chrono::duration<double>(elapsed).count();
        std::string line = "twcycle: " + (plan_ ? plannedProgressLine(*plan_, counter, seconds)
                                                : progressLine(counter.count(), std::nullopt, seconds));
        // Shorter lines must cover what a longer one left on the terminal.
        if (line.size() < shownWidth) line.append(shownWidth - line.size(), ' ');
        shownWidth = line.size();
        std::fprintf(out_, "\r%s", line.c_str());
        std::fflush(out_);
    }
    if (shownWidth > 0) {
        std::fprintf(out_, "\r%s\r", std::string(shownWidth, ' ').c_str());
        std::fflush(out_);
    }
}

}  // namespace twcycle
