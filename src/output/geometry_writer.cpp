#include "output/geometry_writer.h"

#include <optional>

#include "framework/channels.h"
#include "framework/event_record.h"
#include "platform/platform.h"
#include "settings/parameter_list.h"

namespace tw {
namespace {

constexpr std::uint16_t kContourChannel = 31;

// The geometry file of the run: open from a cycle begin until the cycle end.
struct GeometryFile {
    std::FILE* file = nullptr;
    std::string pendingName;  // where it is written
    std::string finalName;    // where the cycle end moves it
};

GeometryFile geometry;

// Closes the file and moves it over its final name.
void closeGeometryFile() {
    if (geometry.file == nullptr) return;
    std::fclose(geometry.file);
    geometry.file = nullptr;
    if (!platform::replaceFile(geometry.pendingName, geometry.finalName)) {
        // Some platforms cannot replace an open or protected file; remove it
        // first and try once more before giving up.
        platform::removeFile(geometry.finalName);
        platform::replaceFile(geometry.pendingName, geometry.finalName);
    }
    geometry.pendingName.clear();
    geometry.finalName.clear();
}

void beginCycle(Cycle* cycle, const EventRecord& record) {
    closeGeometryFile();
    const std::optional<std::string> outputName = getParameter(cycle->parameters, "geoOut");
    if (!outputName) return;
    const std::string pending = pendingOutputName(*outputName);
    platform::removeFile(pending);
    std::FILE* file = std::fopen(pending.c_str(), "w");
    if (file == nullptr) return;
    geometry.file = file;
    geometry.pendingName = pending;
    geometry.finalName = *outputName;

    std::fputs("tarnWELL Data Exchange File, text edition 1993.\n", file);
    std::fputs("tWX-Version: 1.0\n", file);
    std::fputs("Geometry\n", file);
    std::fprintf(file, "%s\n\n", record.text);
    if (const std::optional<std::string> precision = getParameter(cycle->parameters, "precision"))
        std::fprintf(file, "vprecision(%s)\n\n", precision->c_str());
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
    std::FILE* file = geometry.file;
    if (record == nullptr || file == nullptr) return 1;
    switch (record->kind) {
        case kContourBeginRecord:
            std::fputs("oContour", file);
            if (record->name[0] != '\0') std::fprintf(file, "[%s]", record->name);
            if (record->text[0] != '\0')
                std::fprintf(file, "( %s )\n{\n", record->text);
            else
                std::fputs("( )\n{\n", file);
            break;
        case kContourLineRecord:
            std::fprintf(file, "%s\n", record->name);
            break;
        case kContourEndRecord:
            std::fputs("}\n", file);
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

std::FILE* geoOutputFile() { return geometry.file; }

}  // namespace tw
