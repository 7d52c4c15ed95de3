// What the host's checks of a job found: notes, warnings and errors, each
// with the place it concerns, printed in the form compilers use
// ("twcycle: job.pcf:3:14: warning: ...") so that editors can jump there.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

namespace twcycle {

enum class Severity { Note, Warning, Error };

// A position in a text file; line and column count from 1, 0 when unknown.
struct FilePlace {
    std::string file;
    int line = 0;
    int column = 0;
};

struct Finding {
    Severity severity = Severity::Note;
    int status = 0;   // the exit status an error stands for
    FilePlace place;  // file empty: the finding concerns no one file
    std::string text;
};

// "file:line:column", "file:line" or "file", whichever is known; empty
// without a file.
std::string placeText(const FilePlace& place);

// The line printed for a finding, without its line end: "twcycle: ", the
// place and the severity ("warning: ", "error: ", "note: "), then the text.
// Errors and notes without a place carry no severity word.
std::string findingLine(const Finding& finding);

class Findings {
public:
    void note(FilePlace place, std::string text);
    void warn(FilePlace place, std::string text);
    void error(int status, FilePlace place, std::string text);

    const std::vector<Finding>& all() const { return findings_; }
    bool hasErrors() const;
    std::size_t warningCount() const;

    // Prints the findings added since the last call on `err`. Notes are left
    // out when `quiet`; warnings and errors never are.
    void printNew(std::FILE* err, bool quiet);

    // The status of the first error; kExitWarnings for warnings alone when
    // `strict`; else kExitOk.
    int exitStatus(bool strict) const;

private:
    std::vector<Finding> findings_;
    std::size_t printed_ = 0;
};

// Keeps a flood of findings of one kind short: the first kMaxShownPerKind
// are shown, the rest counted into one closing line.
inline constexpr std::size_t kMaxShownPerKind = 5;

class FindingLimiter {
public:
    // True while findings of this kind are still to be shown.
    bool take() { return ++seen_ <= kMaxShownPerKind; }
    // The number that were not shown.
    std::size_t hidden() const { return seen_ > kMaxShownPerKind ? seen_ - kMaxShownPerKind : 0; }

private:
    std::size_t seen_ = 0;
};

}  // namespace twcycle
