// The geometry exchange file: created and headed on the cycle-begin record
// (channel 0), filled from contour records (channel 31) and lines written
// straight into it, closed on the cycle-end record.
//
// The file is written under a temporary name beside the "geoOut" name and
// moved over it when the cycle-end record closes it, so the file the user
// named is never destroyed before the run has read its input (the source and
// the output may be the same file) and an interrupted run leaves the previous
// output intact.
//
// The output is complete or absent: every write, the flush, the sync to
// disk, the close, the move and the sync of its folder are checked, and when one fails, or when the run was short of
// memory, the pending file is removed and so is the earlier file of the final
// name (it must not pass for the new result), unless that name is the run's
// geometry source, which is never removed.
#pragma once

#include <cstdint>
#include <string>

#include "platform/writable_file.h"
#include "twpntopt.h"

namespace tw {

// Record kinds of the geometry writer.
inline constexpr std::int32_t kCycleBeginRecord = 103;
inline constexpr std::int32_t kMessageFileRecord = 109;
inline constexpr std::int32_t kCycleEndRecord = 104;
inline constexpr std::int32_t kContourBeginRecord = 3001;
inline constexpr std::int32_t kContourEndRecord = 3002;
inline constexpr std::int32_t kContourLineRecord = 3199;

// Longest line a contour-line record carries; longer lines are cut.
inline constexpr std::size_t kContourLineLimit = 254;

// The name the output is written under until the cycle end moves it over
// `outputName`.
std::string pendingOutputName(const std::string& outputName);

// Channel 0: cycle begin (create and head the file) and cycle end (close it).
// Always 1.
std::int32_t TWCS_CALL geoCycleHandler(Cycle* cycle, EventRecord* record);

// Channel 31: contour head, line and closing brace. Always 1.
std::int32_t TWCS_CALL geoContourHandler(Cycle* cycle, EventRecord* record);

// Builders of the channel-31 records; they return what the emission returns.
// A name or comment longer than its record field is cut to fit.
std::int32_t emitContourBegin(Cycle* cycle, const char* name, const char* comment);
std::int32_t emitContourLine(Cycle* cycle, const char* line);
std::int32_t emitContourEnd(Cycle* cycle);

// The open geometry file, or null. After a failed write it stays set until
// the cycle end but refuses every write.
platform::WritableFile* geoOutputFile();

// Ends the output of a run that stopped half-way: the pending file and the
// earlier output go as after a failed write. Nothing when no file is open.
void abandonGeometryOutput();

// For a run that will not reach the cycle begin: removes the earlier file
// named `output` unless `source` (the geometry source, may be null) names
// the same file, or may have named it before memory ran short.
void removeEarlierOutput(const std::string& output, const char* source);

}  // namespace tw
