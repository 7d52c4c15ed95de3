#include "drill_command.h"
#include "twcycle/report/counted.h"

#include <fstream>
#include <sstream>

#include "csv_reader.h"
#include "drill_check.h"
#include "drill_job.h"
#include "drill_options.h"
#include "drill_writer.h"
#include "excellon_reader.h"
#include "gcode/gcode_command.h"
#include "hole_check.h"
#include "platform/platform.h"
#include "platform/writable_file.h"
#include "twcycle/exit_status.h"
#include "twcycle/report/result_summary.h"
#include "twcycle/report/svg_picture.h"

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

DrillReading readDrillFile(std::string_view content, DrillFormat format, const ExcellonOptions& options) {
    if (format == DrillFormat::Excellon) return readExcellon(content, options);
    DrillReading reading = readCsv(content);
    if (!options.unit.empty()) {
        reading.file.unit = options.unit;
        reading.file.unitOrigin = "--units";
    }
    return reading;
}

std::size_t pinnedHoles(const DrillFile& file) {
    std::size_t count = 0;
    for (const Hole& hole : file.holes) count += hole.pinned ? 1 : 0;
    return count;
}

std::string caption(const DrillOptions& options, const std::string& output, const DrillFile& file) {
    std::size_t blocks = 0;
    for (const ToolBlock& block : file.blocks) blocks += block.holes.empty() ? 0 : 1;
    std::string text = options.input + " -> " + output + ": " + plural(blocks, "block", "blocks") + ", " +
                       plural(file.holes.size(), "hole", "holes") + ", lengths in " +
                       (file.unit.empty() ? std::string("file units") : file.unit);
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
                         const std::function<std::string(const std::string& written)>& check, bool replacesInput) {
    const std::string pending = output + ".twcycle-pending";
    {
        // On the disk before it is moved into place: after a power cut the
        // output is the old file or the new one, never an empty one.
        std::unique_ptr<tw::platform::WritableFile> file =
            tw::platform::WritableFile::open(pending, tw::platform::WriteMode::Binary);
        const bool written = file != nullptr && file->write(content) && file->sync() && file->close();
        if (!written) {
            file.reset();
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
    if (!tw::platform::syncFolderOf(output)) {
        // The new name may not survive a power cut. The input itself is
        // never removed; any other output goes, as after a failed write.
        if (replacesInput) return "cannot sync the folder of " + output;
        tw::platform::removeFile(output);
        return "cannot sync the folder of " + output + "; " + output + " is not written";
    }
    return {};
}

int readDrillInput(const DrillOptions& options, const std::string& path, DrillFile& file, std::FILE* err) {
    std::string content;
    if (!readWholeFile(path, content)) return fail(err, kExitMissingInput, "cannot read " + path);
    const DrillFormat format = options.format.value_or(guessFormat(path, content));
    DrillReading reading = readDrillFile(content, format, options.excellon);
    if (!reading.error.empty()) {
        // A message that names its own option needs no second one.
        const bool settled = reading.error.find(" --") != std::string::npos;
        const char* hint = options.format || settled ? ""
                           : format == DrillFormat::Excellon ? " (read as Excellon; --format csv reads it as CSV)"
                                                             : " (read as CSV; --format excellon reads it as Excellon)";
        return fail(err, kExitDrillRefused, path + ": " + reading.error + hint);
    }
    file = std::move(reading.file);
    if (!options.quiet && !options.check)
        for (const std::string& note : file.notes)
            std::fprintf(err, "%s: note: %s: %s\n", kProgram, path.c_str(), note.c_str());
    return kExitOk;
}

int runDrillCommand(int argc, char** argv, const std::string& defaultModule, std::FILE* out, std::FILE* err) {
    const DrillOptions options = parseDrillOptions(argc, argv);
    if (options.help) {
        std::fputs(drillUsage().c_str(), out);
        return kExitOk;
    }
    if (!options.error.empty()) return fail(err, kExitHostFailure, options.error + " (try twcycle drill --help)");

    if (options.check) {
        DrillFile file;
        if (const int status = readDrillInput(options, options.input, file, err); status != kExitOk) return status;
        std::fputs(describeDrillFile(options.input, file).c_str(), out);
        return kExitOk;
    }
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
    for (std::size_t c = 0; c < job.results.size(); ++c) job.results[c].name = blockName(file, job.contours.blocks[c]);

    const std::optional<std::string> text = writeDrillFile(file, job.order);
    if (!text) return fail(err, kExitNoOutput, "the ordered holes are not those of " + options.input);
    const auto sameHoles = [&file](const std::string& written) {
        const DrillReading reading = readDrillFile(written, file.format, readingOptions(file));
        return reading.error.empty() ? compareDrillFiles(file, reading.file)
                                     : "the file written does not read back: " + reading.error;
    };
    const bool replacesInput = tw::platform::sameFile(options.input, output);
    if (const std::string error = writeChecked(output, *text, sameHoles, replacesInput); !error.empty())
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
