#include "output_check.h"

#include <algorithm>
#include <system_error>

#include "output/geometry_writer.h"

namespace twcycle {

FileStamp stampFile(const std::string& name) {
    FileStamp stamp;
    std::error_code error;
    const std::filesystem::path path(name);
    const std::filesystem::file_status status = std::filesystem::status(path, error);
    if (error || !std::filesystem::exists(status)) return stamp;
    stamp.exists = true;
    stamp.regular = std::filesystem::is_regular_file(status);
    if (!stamp.regular) return stamp;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (!error) stamp.size = size;
    const std::filesystem::file_time_type modified = std::filesystem::last_write_time(path, error);
    if (!error) stamp.modified = modified;
    return stamp;
}

bool isNewFile(const FileStamp& before, const FileStamp& after) {
    if (!after.exists || !after.regular) return false;
    if (!before.exists || !before.regular) return true;
    return before.size != after.size || !before.modified || !after.modified || *before.modified != *after.modified;
}

OutputStamps stampOutput(const std::string& geoOut, const std::optional<std::string>& geoSource) {
    OutputStamps stamps{stampFile(geoOut), stampFile(tw::pendingOutputName(geoOut))};
    if (geoSource) stamps.sourceBytes = stampFile(*geoSource).size;
    return stamps;
}

WriteFailure classifyWriteFailure(bool folderExists, std::optional<std::uintmax_t> freeBytes,
                                  std::uintmax_t sourceBytes) {
    // Below this much room a disk counts as full whatever the job.
    constexpr std::uintmax_t kLeastRoom = 4096;
    if (!folderExists) return WriteFailure::MissingFolder;
    if (freeBytes && *freeBytes < std::max(sourceBytes, kLeastRoom)) return WriteFailure::DiskFull;
    return WriteFailure::WriteError;
}

std::string writeFailureCause(const std::string& geoOut, std::uintmax_t sourceBytes) {
    std::filesystem::path folder = std::filesystem::path(geoOut).parent_path();
    if (folder.empty()) folder = ".";
    std::error_code error;
    const bool exists = std::filesystem::is_directory(folder, error);
    std::optional<std::uintmax_t> freeBytes;
    if (exists) {
        const std::filesystem::space_info space = std::filesystem::space(folder, error);
        if (!error) freeBytes = space.available;
    }
    switch (classifyWriteFailure(exists, freeBytes, sourceBytes)) {
        case WriteFailure::MissingFolder:
            return "its folder does not exist";
        case WriteFailure::DiskFull:
            return "the disk is full (" + std::to_string(*freeBytes) + " bytes free, the source alone has " +
                   std::to_string(sourceBytes) + ")";
        case WriteFailure::WriteError:
            break;
    }
    return "a write error";
}

std::string missingOutputReason(const std::string& geoOut, const OutputStamps& before) {
    const OutputStamps after = stampOutput(geoOut);
    if (isNewFile(before.pending, after.pending)) {
        return "the output was written to " + tw::pendingOutputName(geoOut) + " but could not be moved over " +
               geoOut;
    }
    if (!after.output.exists)
        return "no output file was written although geoOut names " + geoOut + ": " +
               writeFailureCause(geoOut, before.sourceBytes);
    if (!after.output.regular) return "geoOut names " + geoOut + ", which is not a regular file";
    if (!isNewFile(before.output, after.output))
        return "the run did not write " + geoOut + " anew; it still holds an earlier file: " +
               writeFailureCause(geoOut, before.sourceBytes);
    return {};
}

}  // namespace twcycle
