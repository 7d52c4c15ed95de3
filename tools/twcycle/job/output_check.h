// Whether a run wrote its output file: the file's state before the run is
// compared with its state after it.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace twcycle {

// What can be told about a file without opening it.
struct FileStamp {
    bool exists = false;
    bool regular = false;
    std::uintmax_t size = 0;
    std::optional<std::filesystem::file_time_type> modified;
};

// The stamp of the file the module opens by the literal `name`.
FileStamp stampFile(const std::string& name);

// True when `after` is a regular file that did not exist as one before or
// whose size or modification time changed.
bool isNewFile(const FileStamp& before, const FileStamp& after);

// The output file and the pending file it is written under until the run
// ends, and the size of the geometry source (0 when unknown).
struct OutputStamps {
    FileStamp output;
    FileStamp pending;
    std::uintmax_t sourceBytes = 0;
};

OutputStamps stampOutput(const std::string& geoOut, const std::optional<std::string>& geoSource = std::nullopt);

// Why the module could not write an output. The module removes an output it
// could not write completely and says nothing, so the cause is read from the
// file system holding it: a full disk when it has less room than the output
// needs (about the size of the source, at least a few kilobytes), else a
// write error.
enum class WriteFailure { MissingFolder, DiskFull, WriteError };

WriteFailure classifyWriteFailure(bool folderExists, std::optional<std::uintmax_t> freeBytes,
                                  std::uintmax_t sourceBytes);

// The cause for `geoOut` as a text, e.g. "the disk is full (...)".
std::string writeFailureCause(const std::string& geoOut, std::uintmax_t sourceBytes);

// The reason the run left no new output under `geoOut`, or empty when it
// did; `before` was taken before the run.
std::string missingOutputReason(const std::string& geoOut, const OutputStamps& before);

}  // namespace twcycle
