#include "output/geometry_writer.h"

#include <memory>
#include <optional>

#include "framework/channels.h"
#include "framework/event_record.h"
#include "framework/run_faults.h"
#include "platform/platform.h"
#include "settings/parameter_list.h"

namespace tw {
namespace {

using platform::WritableFile;

constexpr std::uint16_t kContourChannel = 31;

// The geometry file of the run: open from a cycle begin until the cycle end.
//
//   state      file     abandoned   entered by
//   none       null     -           load, cycle end, a begin without a file
//   open       set      false       a begin that created the pending file
//   failed     set      true        a failed write, flush or close
//
// In the failed state the pending file and the earlier output are gone and
// every later write is refused, so the rest of the run writes nothing.
struct GeometryFile {
    std::unique_ptr<WritableFile> file;
    bool abandoned = false;
    bool keepFinal = false;       // the final name is the run's source
    std::uint64_t faultMark = 0;  // the run's fault count when it began
    std::string pendingName;      // where it is written
    std::string finalName;        // where the cycle end moves it
};

GeometryFile geometry;

// True when `output` is the file the run reads its geometry from: then it
// is never removed, whatever happens to the output.
// True unless `output` is known not to be the file `source` names. Without a
// source name, a run that was short of memory may have lost it, so the
// output counts as the source then.
bool mayBeTheSource(const char* source, const std::string& output) {
    if (source == nullptr) return runFaultCount() != runFaultMark();
    return output == source || platform::sameFile(source, output);
}

// The cycle's initialisation keeps the source's name as "sourceGeometry".
bool namesTheSource(const Cycle* cycle, const std::string& output) {
    const std::optional<std::string> source = getParameter(cycle->parameters, "sourceGeometry");
    return mayBeTheSource(source ? source->c_str() : nullptr, output);
}

// Removes what a failed output left: the pending file, and the earlier file
// of the final name, which must not pass for this run's result.
void removeOutputFiles(const std::string& pending, const std::string& final, bool keepFinal) {
    if (!pending.empty()) platform::removeFile(pending);
    if (!keepFinal) platform::removeFile(final);
}

void abandon() {
    if (geometry.abandoned) return;
    geometry.abandoned = true;
    geometry.file->close();
    removeOutputFiles(geometry.pendingName, geometry.finalName, geometry.keepFinal);
}

// Writes into the open file; a failure abandons the output.
void write(std::string_view text) {
    if (geometry.file == nullptr || geometry.abandoned) return;
    if (!geometry.file->write(text)) abandon();
}

// Notices a failure of the lines the contour output writes straight
// into the file.
void checkDirectWrites() {
    if (geometry.file != nullptr && geometry.file->failed()) abandon();
}

bool moveOverFinalName() {
    if (platform::replaceFile(geometry.pendingName, geometry.finalName)) return true;
    if (geometry.keepFinal) return false;
    // Some platforms cannot replace an open or protected file; remove it
    // first and try once more before giving up.
    platform::removeFile(geometry.finalName);
    return platform::replaceFile(geometry.pendingName, geometry.finalName);
}

// Closes the file and moves it over its final name; a run that failed to
// write it, or that was short of memory (its contours may be incomplete),
// leaves no output instead.
//
// The bytes reach the disk before the move and the folder entry after it: a
// file system may otherwise keep the move across a power cut and lose the
// data, replacing a good earlier output by an empty one. A sync that fails
// is a failed write.
void closeGeometryFile() {
    if (geometry.file == nullptr) return;
    checkDirectWrites();
    if (!geometry.abandoned) {
        const bool complete =
            geometry.file->sync() && geometry.file->close() && runFaultCount() == geometry.faultMark;
        if (!complete || !moveOverFinalName() || !platform::syncFolderOf(geometry.finalName)) abandon();
    }
    geometry = GeometryFile{};
}

void beginCycle(Cycle* cycle, const EventRecord& record) {
    closeGeometryFile();
    const std::optional<std::string> outputName = getParameter(cycle->parameters, "geoOut");
    if (!outputName) return;
    const std::string pending = pendingOutputName(*outputName);
    const bool keepFinal = namesTheSource(cycle, *outputName);
    platform::removeFile(pending);
    std::unique_ptr<WritableFile> file = WritableFile::open(pending, platform::WriteMode::Text);
    if (file == nullptr) {
        // The earlier output goes as it would have gone had the file been
        // created, so that it cannot pass for this run's result.
        removeOutputFiles({}, *outputName, keepFinal);
        return;
    }
    geometry.file = std::move(file);
    geometry.keepFinal = keepFinal;
    geometry.faultMark = runFaultMark();
    geometry.pendingName = pending;
    geometry.finalName = *outputName;

    write("tarnWELL Data Exchange File, text edition 1993.\n");
    write("tWX-Version: 1.0\n");
    write("Geometry\n");
    write(std::string(record.text) + "\n\n");
    if (const std::optional<std::string> precision = getParameter(cycle->parameters, "precision"))
        write("vprecision(" + *precision + ")\n\n");
}

}  // namespace

std::string pendingOutputName(const std::string& outputName) { return outputName + ".part"; }

std::int32_t TWCS_CALL geoCycleHandler(Cycle* cycle, EventRecord* record) {
    if (record == nullptr) return 1;
    if (record->kind == kCycleBeginRecord) {
        beginCycle(cycle, *record);
    } else if (record->kind == kCycleEndRecord) {
        closeGeometryFile();
    }
    return 1;
}

std::int32_t TWCS_CALL geoContourHandler(Cycle*, EventRecord* record) {
    if (record == nullptr || geometry.file == nullptr) return 1;
    checkDirectWrites();
    switch (record->kind) {
        case kContourBeginRecord: {
            std::string head = "oContour";
            if (record->name[0] != '\0') head += "[" + std::string(record->name) + "]";
            if (record->text[0] != '\0')
                head += "( " + std::string(record->text) + " )\n{\n";
            else
                head += "( )\n{\n";
            write(head);
            break;
        }
        case kContourLineRecord:
            write(std::string(record->name) + "\n");
            break;
        case kContourEndRecord:
            write("}\n");
            break;
        default:
            break;
    }
    return 1;
}

std::int32_t emitContourBegin(Cycle* cycle, const char* name, const char* comment) {
    EventRecord record = makeRecord(kContourBeginRecord, name);
    if (comment != nullptr && comment[0] != '\0') formatRecordText(record, "cmnt[%s]", comment);
    return emitRecord(cycle, kContourChannel, &record);
}

std::int32_t emitContourLine(Cycle* cycle, const char* line) {
    EventRecord record = makeRecord(kContourLineRecord);
    copyField(record.name, kContourLineLimit + 1, line);
    return emitRecord(cycle, kContourChannel, &record);
}

std::int32_t emitContourEnd(Cycle* cycle) {
    EventRecord record = makeRecord(kContourEndRecord);
    return emitRecord(cycle, kContourChannel, &record);
}

platform::WritableFile* geoOutputFile() { return geometry.file.get(); }

void removeEarlierOutput(const std::string& output, const char* source) {
    removeOutputFiles({}, output, mayBeTheSource(source, output));
}

void abandonGeometryOutput() {
    if (geometry.file == nullptr) return;
    abandon();
    geometry = GeometryFile{};
}

}  // namespace tw
