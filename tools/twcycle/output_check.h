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

// The output file and the pending file it is written under until the run ends.
struct OutputStamps {
    FileStamp output;
    FileStamp pending;
};

OutputStamps stampOutput(const std::string& geoOut);

// The reason the run left no new output under `geoOut`, or empty when it
// did; `before` was taken before the run.
std::string missingOutputReason(const std::string& geoOut, const OutputStamps& before);

}  // namespace twcycle
