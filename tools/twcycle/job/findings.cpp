#include "findings.h"

#include <algorithm>

#include "twcycle/exit_status.h"

namespace twcycle {
namespace {

constexpr const char* kProgram = "twcycle";

const char* severityWord(Severity severity) {
    switch (severity) {
        case Severity::Note:
            return "note";
        case Severity::Warning:
            return "warning";
        case Severity::Error:
            return "error";
    }
    return "note";
}

}  // namespace

std::string placeText(const FilePlace& place) {
    if (place.file.empty()) return {};
    std::string text = place.file;
    if (place.line > 0) {
        text += ":" + std::to_string(place.line);
        if (place.column > 0) text += ":" + std::to_string(place.column);
    }
    return text;
}

std::string findingLine(const Finding& finding) {
    std::string line = std::string(kProgram) + ": ";
    const std::string where = placeText(finding.place);
    if (!where.empty()) line += where + ": ";
    // The host's own sentences (no place) have always read without a
    // severity word; a warning is always marked, being no failure.
    if (!where.empty() || finding.severity == Severity::Warning) line += std::string(severityWord(finding.severity)) + ": ";
    return line + finding.text;
}

void Findings::note(FilePlace place, std::string text) {
    findings_.push_back(Finding{Severity::Note, kExitOk, std::move(place), std::move(text)});
}

void Findings::warn(FilePlace place, std::string text) {
    findings_.push_back(Finding{Severity::Warning, kExitOk, std::move(place), std::move(text)});
}

void Findings::error(int status, FilePlace place, std::string text) {
    findings_.push_back(Finding{Severity::Error, status, std::move(place), std::move(text)});
}

bool Findings::hasErrors() const {
    return std::any_of(findings_.begin(), findings_.end(),
                       [](const Finding& finding) { return finding.severity == Severity::Error; });
}

std::size_t Findings::warningCount() const {
    return static_cast<std::size_t>(std::count_if(findings_.begin(), findings_.end(), [](const Finding& finding) {
        return finding.severity == Severity::Warning;
    }));
}

void Findings::printNew(std::FILE* err, bool quiet) {
    for (; printed_ < findings_.size(); ++printed_) {
        const Finding& finding = findings_[printed_];
        if (quiet && finding.severity == Severity::Note) continue;
        std::fprintf(err, "%s\n", findingLine(finding).c_str());
    }
    std::fflush(err);
}

int Findings::exitStatus(bool strict) const {
    for (const Finding& finding : findings_)
        if (finding.severity == Severity::Error) return finding.status;
    if (strict && warningCount() > 0) return kExitWarnings;
    return kExitOk;
}

}  // namespace twcycle
