#include "drill_command.h"

#include <fstream>
#include <sstream>

#include "csv_reader.h"
#include "drill_job.h"
#include "drill_options.h"
#include "drill_writer.h"
#include "excellon_reader.h"
#include "gcode/gcode_command.h"
#include "hole_check.h"
#include "platform/platform.h"
#include "twcycle/exit_status.h"
#include "twcycle/result_summary.h"
#include "twcycle/svg_picture.h"

namespace twcycle::drill {
namespace {

constexpr const char* kProgram = "twcycle drill";

int fail(std::FILE* err, int status, const std::string& text) {
    std::fprintf(err, "%s: %s\n", kProgram, text.c_str());
    return status;
}

bool readWholeFile(const std::string& path, std::string& content) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return false;
    std::ostringstream text;
    text << file.rdbuf();
    content = text.str();
    return !file.bad();
}

DrillReading readDrillFile(std::string_view content, DrillFormat format) {
    return format == DrillFormat::Csv ? readCsv(content) : readExcellon(content);
}

std::size_t pinnedHoles(const DrillFile& file) {
    std::size_t count = 0;
    for (const Hole& hole : file.holes) count += hole.pinned ? 1 : 0;
    return count;
}

std::string plural(std::size_t count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

std::string caption(const DrillOptions& options, const std::string& output, const DrillFile& file) {
    std::string text = options.input + " -> " + output + ": " + plural(file.blocks.size(), "tool block", "tool blocks") +
                       ", " + plural(file.holes.size(), "hole", "holes");
    if (!file.unit.empty()) text += ", lengths in " + file.unit;
    return text;
}

void printTable(std::FILE* out, const DrillOptions& options, const std::string& output, const DrillFile& file,
                const DrillJobResult& job) {
    std::fprintf(out, "%s\n", caption(options, output, file).c_str());
    if (job.results.empty()) {
        std::fprintf(out, "no holes to order\n");
        return;
    }
    std::fputs(formatSummary(buildSummary(job.results, &job.contours.source)).c_str(), out);
}

}  // namespace

std::string writeChecked(const std::string& output, const std::string& content,
                         const std::function<std::string(const std::string& written)>& check) {
    const std::string pending = output + ".twcycle-pending";
    {
        std::ofstream file(pending, std::ios::binary | std::ios::trunc);
        file << content;
        file.close();
        if (!file) {
            tw::platform::removeFile(pending);
            return "cannot write " + pending;
        }
    }
    std::string written;
    std::string difference;
    if (!readWholeFile(pending, written) || written != content) {
        difference = "the file written does not read back as written";
    } else {
        difference = check(written);
    }
    if (!difference.empty()) {
        tw::platform::removeFile(pending);
        return difference + "; " + output + " is not written";
    }
    if (!tw::platform::replaceFile(pending, output)) {
        tw::platform::removeFile(pending);
        return "cannot move " + pending + " over " + output;
    }
    return {};
}

int readDrillInput(const DrillOptions& options, const std::string& path, DrillFile& file, std::FILE* err) {
    std::string content;
    if (!readWholeFile(path, content)) return fail(err, kExitMissingInput, "cannot read " + path);
    const DrillFormat format = options.format.value_or(guessFormat(path, content));
    DrillReading reading = readDrillFile(content, format);
    if (!reading.error.empty()) {
        const char* hint = options.format ? ""
                           : format == DrillFormat::Excellon ? " (read as Excellon; --format csv reads it as CSV)"
                                                             : " (read as CSV; --format excellon reads it as Excellon)";
        return fail(err, kExitDrillRefused, path + ": " + reading.error + hint);
    }
    file = std::move(reading.file);
    return kExitOk;
}

int runDrillCommand(int argc, char** argv, const std::string& defaultModule, std::FILE* out, std::FILE* err) {
    const DrillOptions options = parseDrillOptions(argc, argv);
    if (options.help) {
        std::fputs(drillUsage().c_str(), out);
        return kExitOk;
    }
    if (!options.error.empty()) return fail(err, kExitHostFailure, options.error + " (try twcycle drill --help)");

    if (options.gcodeOutput) return runGcodeCommand(options, defaultModule, out, err);
    DrillFile file;
    if (const int status = readDrillInput(options, options.input, file, err); status != kExitOk) return status;
    const std::string output = options.output.empty() ? sortedName(options.input) : options.output;

    DrillJobSettings settings;
    settings.modulePath = options.modulePath.empty() ? defaultModule : options.modulePath;
    settings.algorithm = options.algorithm;
    settings.startX = options.startX;
    settings.startY = options.startY;
    settings.title = "twcycle drill " + options.input;
    DrillJobResult job = orderDrillFile(file, settings);
    if (job.status != kExitOk) return fail(err, job.status, job.error);
    for (std::size_t c = 0; c < job.results.size(); ++c) {
        const std::string& tool = file.blocks[job.contours.blocks[c]].tool;
        job.results[c].name = tool.empty() ? "(no tool)" : tool;
    }

    const std::optional<std::string> text = writeDrillFile(file, job.order);
    if (!text) return fail(err, kExitNoOutput, "the ordered holes are not those of " + options.input);
    const auto sameHoles = [&file](const std::string& written) {
        const DrillReading reading = readDrillFile(written, file.format);
        return reading.error.empty() ? compareDrillFiles(file, reading.file)
                                     : "the file written does not read back: " + reading.error;
    };
    if (const std::string error = writeChecked(output, *text, sameHoles); !error.empty())
        return fail(err, kExitNoOutput, error);

    if (file.incremental)
        std::fprintf(err, "%s: %s gives incremental coordinates (G91); %s is written with absolute ones (G90)\n",
                     kProgram, options.input.c_str(), output.c_str());
    if (!options.quiet) {
        if (const std::size_t pinned = pinnedHoles(file); pinned > 0)
            std::fprintf(err, "%s: %s in place: a repeat code or a routed move starts from %s\n", kProgram,
                         plural(pinned, "hole stays", "holes stay").c_str(), pinned == 1 ? "it" : "them");
        printTable(out, options, output, file, job);
        std::fflush(out);
    }
    if (!options.svgFile.empty()) {
        PictureInput picture;
        picture.caption = caption(options, output, file);
        picture.results = &job.results;
        picture.source = &job.contours.source;
        if (!writeTextFile(options.svgFile, renderSvg(picture)))
            return fail(err, kExitPictureFailed, "cannot write the picture " + options.svgFile);
    }
    return kExitOk;
}

}  // namespace twcycle::drill
