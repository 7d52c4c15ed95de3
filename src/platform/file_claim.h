// A file that one holder at a time may claim, among threads and processes
// alike: the claim is a lock the system keeps on an open handle, so it ends
// when the holder releases it or its process ends, however it ends. A killed
// run therefore never leaves a claim behind, only the file.
//
// Every holder honours the rule that a claimed file's name is removed only by
// its holder, and only while the claim is held.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace tw::platform {

enum class ClaimResult {
    Claimed,  // the file is ours until the claim is released
    Held,     // another holder has it
    Failed,   // it cannot be opened or created (a folder, no permission ...)
};

class FileClaim {
public:
    // Opens or creates `path` (never emptying it) and claims it without
    // waiting. The claim is only returned when `path` still names the
    // claimed file afterwards (a holder may remove it in the meantime).
    static std::unique_ptr<FileClaim> claim(const std::string& path, ClaimResult& result);

    // Gives the claim up; the file stays.
    ~FileClaim();
    FileClaim(const FileClaim&) = delete;
    FileClaim& operator=(const FileClaim&) = delete;

    const std::string& path() const { return path_; }
    // True when `path` names the claimed file now.
    bool holds(const std::string& path) const;

private:
    static constexpr std::intptr_t kNoHandle = -1;
    FileClaim(std::string path, std::intptr_t handle) : path_(std::move(path)), handle_(handle) {}
    static std::unique_ptr<FileClaim> take(const std::string& path, bool create, ClaimResult& result);
    friend bool isClaimed(const std::string& path);

    std::string path_;
    std::intptr_t handle_;  // descriptor on POSIX, HANDLE on Windows
};

// True when `path` exists and another holder claims it at this moment.
bool isClaimed(const std::string& path);

}  // namespace tw::platform
