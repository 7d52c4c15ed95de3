// A file opened for writing whose every failure is seen: a short or failing
// write, a failing flush and a failing close all make it fail, and the first
// failure is kept (later writes are refused), so a writer checks once at the
// end or after each step as it likes.
//
// Tests can make the N-th operation fail through setWriteFaultHook, the way a
// full disk or a broken device would.
#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

namespace tw::platform {

enum class WriteMode {
    Text,    // line ends written the platform's way
    Binary,  // bytes written unchanged
};

class WritableFile {
public:
    // Creates or empties `path`; null when it cannot be opened.
    static std::unique_ptr<WritableFile> open(const std::string& path, WriteMode mode);

    // Closes the file if it is still open, ignoring the result.
    ~WritableFile();
    WritableFile(const WritableFile&) = delete;
    WritableFile& operator=(const WritableFile&) = delete;

    // Writes all of `bytes`; false when any of them could not be written
    // (also when the file failed before).
    bool write(std::string_view bytes);
    // Hands the buffered bytes to the system; false on failure.
    bool flush();
    // Flushes and closes; false when anything since the open failed. Later
    // calls return the same result and write nothing.
    bool close();

    bool failed() const { return error_ != 0; }
    // The errno of the first failure, 0 when nothing failed.
    int error() const { return error_; }
    // True when the first failure was a full disk or an exhausted quota.
    bool diskFull() const;

private:
    explicit WritableFile(std::FILE* file) : file_(file) {}
    void fail(int error);

    std::FILE* file_;
    int error_ = 0;
};

// Test hook called before each open, write, flush and close of every
// WritableFile. Returning 0 lets the operation go on; an errno value (such as
// ENOSPC or EIO) makes it fail as the system would: an open yields no file,
// a write puts about half of its bytes into the file and then fails, a flush
// or close fails after doing its work. Null (the default) removes the hook.
using WriteFaultHook = int (*)();
void setWriteFaultHook(WriteFaultHook hook);

}  // namespace tw::platform
