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
    // Flushes and forces the bytes onto the disk, so that they survive a
    // power cut once the file is moved into place; false on failure.
    bool sync();
    // Flushes and closes; false when anything since the open failed. Later
    // calls return the same result and write nothing.
    bool close();

    bool failed() const { return error_ != 0; }
    // The errno of the first failure, 0 when nothing failed.
    int error() const { return error_; }
    // True when the first failure was a full disk or an exhausted quota.
    bool diskFull() const;

private:
    WritableFile(std::FILE* file, std::string path) : file_(file), path_(std::move(path)) {}
    void fail(int error);

    std::FILE* file_;
    std::string path_;
    int error_ = 0;
};

// Test hook called before each open, write, flush and close of every
// WritableFile. Returning 0 lets the operation go on; an errno value (such as
// ENOSPC or EIO) makes it fail as the system would: an open yields no file,
// a write puts about half of its bytes into the file and then fails, a flush
// or close fails after doing its work. Null (the default) removes the hook.
using WriteFaultHook = int (*)();
void setWriteFaultHook(WriteFaultHook hook);

// What a sync forces onto the disk.
enum class SyncTarget {
    File,    // a written file's bytes, before it is moved into place
    Folder,  // the folder entry of a file just moved into place
};

// Test hook called before each sync with what is synced and its name (for a
// folder: the file whose entry it holds). Returning 0 lets the sync go on;
// an errno value makes it fail as the system would. Null removes the hook.
using SyncFaultHook = int (*)(SyncTarget target, const std::string& path);
void setSyncFaultHook(SyncFaultHook hook);

// What the sync hook says about this sync (0 without a hook).
int injectedSyncFault(SyncTarget target, const std::string& path);

}  // namespace tw::platform
