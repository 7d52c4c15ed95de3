#include "output_check.h"

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

OutputStamps stampOutput(const std::string& geoOut) {
    return OutputStamps{stampFile(geoOut), stampFile(tw::pendingOutputName(geoOut))};
}

std::string missingOutputReason(const std::string& geoOut, const OutputStamps& before) {
    const OutputStamps after = stampOutput(geoOut);
    if (isNewFile(before.pending, after.pending)) {
        return "the output was written to " + tw::pendingOutputName(geoOut) + " but could not be moved over " +
               geoOut;
    }
    if (!after.output.exists) return "no output file was written although geoOut names " + geoOut;
    if (!after.output.regular) return "geoOut names " + geoOut + ", which is not a regular file";
    if (!isNewFile(before.output, after.output))
        return "the run did not write " + geoOut + " anew; it still holds an earlier file";
    return {};
}

}  // namespace twcycle
