// Drives the machine-program reader over arbitrary bytes: it reads or
// refuses with a line, never more. The same bytes read as a drill file
// that states its unit must make a program in every style that reads back
// and passes its check.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "twcycle/drill/excellon_reader.h"
#include "twcycle/drill/gcode/gcode_reader.h"
#include "twcycle/drill/gcode/gcode_writer.h"
#include "twcycle/drill/gcode/program_check.h"
#include "twcycle/drill/gcode/program_picture.h"
#include "twcycle/drill/gcode/program_plan.h"
#include "twcycle/drill/gcode/program_time.h"

namespace {

using namespace twcycle::drill;
using namespace twcycle::drill::gcode;

constexpr std::size_t kMaxProgramHoles = 2000;

void require(bool condition) {
    if (!condition) std::abort();
}

void readAsProgram(std::string_view content) {
    const ProgramReading reading = readProgram(content);
    if (!reading.error.empty()) {
        require(reading.error.compare(0, 5, "line ") == 0 || reading.error == "the program has no end (M2 or M30)");
        return;
    }
    require(reading.ended);
    for (const ProgramMove& move : reading.moves) require(move.section <= reading.sectionTools.size());
    const ProgramTime time = programTime(reading, machineSettings({}, ProgramUnit::Millimetre).settings,
                                         reading.sectionTools.size());
    require(std::isfinite(time.total) && time.total >= 0.0);
    require(!renderProgramSvg(reading, "fuzz", {}).empty());
}

void makeProgram(std::string_view content) {
    const DrillReading drill = readExcellon(content);
    if (!drill.error.empty()) return;
    const std::optional<ProgramUnit> unit = programUnit(drill.file);
    if (!unit) return;
    // Repeat codes make many holes from few bytes; the property is the same
    // for a few, and a peck program of many thousands is only slow.
    std::size_t points = drill.file.holes.size();
    for (const DrillCut& cut : drill.file.cuts) points += cut.points.size();
    if (points > kMaxProgramHoles) return;
    for (DrillCycle cycle : {DrillCycle::G81, DrillCycle::G83, DrillCycle::Moves}) {
        GcodeOptions options;
        options.cycle = cycle;
        options.toolChange = cycle == DrillCycle::G83 ? ToolChange::Pause : ToolChange::M6;
        const MachineSettings settings = machineSettings(options, *unit).settings;
        const ProgramPlan plan = planProgram({{"fuzz.drl", &drill.file, fileOrder(drill.file)}}, settings);
        if (!plan.error.empty()) {
            require(plan.error.find("an arc") != std::string::npos);
            return;
        }
        const std::string program = writeProgram(plan, settings, "fuzz");
        require(checkProgram(plan, settings, readProgram(program)).empty());
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view content(reinterpret_cast<const char*>(data), size);
    readAsProgram(content);
    makeProgram(content);
    return 0;
}
