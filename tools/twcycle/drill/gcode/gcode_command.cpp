#include "gcode_command.h"
#include "twcycle/report/counted.h"

#include <map>

#include "gcode_reader.h"
#include "gcode_writer.h"
#include "program_check.h"
#include "program_picture.h"
#include "program_plan.h"
#include "program_time.h"
#include "tool_sizes.h"
#include "twcycle/drill/drill_command.h"
#include "twcycle/drill/drill_job.h"
#include "twcycle/exit_status.h"
#include "twcycle/report/result_summary.h"
#include "twcycle/report/svg_picture.h"

namespace twcycle::drill {
namespace {

using namespace gcode;

constexpr const char* kProgram = "twcycle drill";

int fail(std::FILE* err, int status, const std::string& text) {
    std::fprintf(err, "%s: %s\n", kProgram, text.c_str());
    return status;
}

struct OrderedFile {
    std::string name;
    DrillFile file;
    DrillJobResult job;
};

std::string toolName(const ToolSection& section) {
    return section.number >= 0 ? "T" + std::to_string(section.number) : std::string("(no tool)");
}

// The same tool number with two diameters: an automatic changer would take
// the same tool for both.
void warnToolClashes(std::FILE* err, const ProgramPlan& plan, const MachineSettings& settings) {
    std::map<long, const ToolSection*> first;
    for (const ToolSection& section : plan.sections) {
        if (section.number < 0 || !section.diameter) continue;
        const auto [known, added] = first.emplace(section.number, &section);
        if (added || !known->second->diameter || *known->second->diameter == *section.diameter) continue;
        std::fprintf(err, "%s: warning: T%ld is %s %s in %s and %s %s in %s; the program changes to T%ld for both\n",
                     kProgram, section.number, shortNumber(*known->second->diameter, settings.unit).c_str(),
                     unitSymbol(settings.unit), known->second->source.c_str(),
                     shortNumber(*section.diameter, settings.unit).c_str(), unitSymbol(settings.unit),
                     section.source.c_str(), section.number);
        known->second = &section;
    }
}

void printTimes(std::FILE* out, const ProgramPlan& plan, const ProgramTime& optimized, const ProgramTime& fileOrder) {
    std::fprintf(out, "\nestimated machining time\n%-10s %-24s %6s %6s %16s %16s\n", "tool", "file", "holes", "slots",
                 "file order", "optimized");
    for (std::size_t i = 0; i < plan.sections.size(); ++i) {
        const ToolSection& section = plan.sections[i];
        std::string source = section.source;
        if (source.size() > 24) source = "..." + source.substr(source.size() - 21);
        std::fprintf(out, "%-10s %-24s %6s %6s %16s %16s\n", toolName(section).c_str(), source.c_str(),
                     std::to_string(section.holes.size()).c_str(), std::to_string(section.paths.size()).c_str(),
                     durationText(fileOrder.sections[i]).c_str(), durationText(optimized.sections[i]).c_str());
    }
    std::fprintf(out, "%-10s %-24s %6s %6s %16s %16s\n", "total", "", "", "", durationText(fileOrder.total).c_str(),
                 durationText(optimized.total).c_str());
    const double saved = fileOrder.total - optimized.total;
    if (fileOrder.total > 0.0 && saved >= 0.0)
        std::fprintf(out, "the optimized order saves %s (%.1f %%) against the files' order\n", durationText(saved).c_str(),
                     100.0 * saved / fileOrder.total);
    else
        std::fprintf(out, "the optimized order saves no time against the files' order\n");
}

std::string programTitle(const DrillOptions& options) {
    std::string title = kProgram;
    for (const std::string& input : options.inputs) title += " " + input;
    return title + " -o " + options.output;
}

}  // namespace

int runGcodeCommand(const DrillOptions& options, const std::string& defaultModule, std::FILE* out, std::FILE* err) {
    std::vector<OrderedFile> files(options.inputs.size());
    for (std::size_t i = 0; i < files.size(); ++i) {
        files[i].name = options.inputs[i];
        if (const int status = readDrillInput(options, files[i].name, files[i].file, err); status != kExitOk)
            return status;
    }
    const std::optional<ProgramUnit> unit = programUnit(files.front().file);
    if (!unit) return fail(err, kExitDrillRefused, unitMissing(files.front().name));
    const SettingsReading settingsReading = machineSettings(options.gcode, *unit);
    if (!settingsReading.error.empty())
        return fail(err, kExitHostFailure, settingsReading.error + " (try twcycle drill --help)");
    const MachineSettings& settings = settingsReading.settings;

    std::vector<PlanInput> optimizedInputs;
    std::vector<PlanInput> fileOrderInputs;
    for (OrderedFile& ordered : files) {
        DrillJobSettings job;
        job.modulePath = options.modulePath.empty() ? defaultModule : options.modulePath;
        job.algorithm = options.algorithm;
        job.startX = options.startX;
        job.startY = options.startY;
        job.title = std::string(kProgram) + " " + ordered.name;
        ordered.job = orderDrillFile(ordered.file, job);
        if (ordered.job.status != kExitOk) return fail(err, ordered.job.status, ordered.job.error);
        for (std::size_t c = 0; c < ordered.job.results.size(); ++c) {
            const std::string& tool = ordered.file.blocks[ordered.job.contours.blocks[c]].tool;
            ordered.job.results[c].name = tool.empty() ? "(no tool)" : tool;
        }
        optimizedInputs.push_back({ordered.name, &ordered.file, ordered.job.order});
        fileOrderInputs.push_back({ordered.name, &ordered.file, fileOrder(ordered.file)});
    }
    const ProgramPlan plan = planProgram(optimizedInputs, settings);
    if (!plan.error.empty()) return fail(err, kExitDrillRefused, plan.error);
    const ProgramPlan filePlan = planProgram(fileOrderInputs, settings);
    if (!filePlan.error.empty()) return fail(err, kExitDrillRefused, filePlan.error);

    const std::string title = programTitle(options);
    const std::string program = writeProgram(plan, settings, title);
    // The reading that passed the check also gives the times and the picture.
    ProgramReading reading;
    const auto check = [&](const std::string& written) {
        reading = readProgram(written);
        const std::string fault = checkProgram(plan, settings, reading);
        return fault.empty() ? fault : "the program fails its check: " + fault;
    };
    if (const std::string error = writeChecked(options.output, program, check); !error.empty())
        return fail(err, kExitNoOutput, error);

    for (const std::string& warning : plan.warnings) std::fprintf(err, "%s: warning: %s\n", kProgram, warning.c_str());
    if (plan.leftOut > 0)
        std::fprintf(err, "%s: warning: %s left out (--no-slots)\n", kProgram,
                     plural(plan.leftOut, "slot or route", "slots or routes").c_str());
    warnToolClashes(err, plan, settings);

    if (!options.quiet) {
        for (const OrderedFile& ordered : files) {
            std::fprintf(out, "%s: %s, %s, lengths in %s\n", ordered.name.c_str(),
                         plural(ordered.file.blocks.size(), "tool block", "tool blocks").c_str(),
                         plural(ordered.file.holes.size(), "hole", "holes").c_str(), ordered.file.unit.c_str());
            if (ordered.job.results.empty())
                std::fprintf(out, "no holes to order\n");
            else
                std::fputs(formatSummary(buildSummary(ordered.job.results, &ordered.job.contours.source)).c_str(), out);
        }
        const ProgramTime optimized = programTime(reading, settings, plan.sections.size());
        const ProgramTime original = programTime(readProgram(writeProgram(filePlan, settings, title)), settings,
                                                 filePlan.sections.size());
        printTimes(out, plan, optimized, original);
        std::fprintf(out, "%s written: %s, %s\n", options.output.c_str(),
                     plural(plan.sections.size(), "tool section", "tool sections").c_str(),
                     plural(reading.plunges.size(), "plunge", "plunges").c_str());
        std::fflush(out);
    }
    if (!options.svgFile.empty()) {
        std::vector<std::string> names;
        for (const ToolSection& section : plan.sections) names.push_back(toolName(section) + " " + section.source);
        if (!writeTextFile(options.svgFile, renderProgramSvg(reading, title, names)))
            return fail(err, kExitPictureFailed, "cannot write the picture " + options.svgFile);
    }
    return kExitOk;
}

}  // namespace twcycle::drill
