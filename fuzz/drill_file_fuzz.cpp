// Drives the Excellon and CSV drill-file readers over arbitrary bytes, the
// Excellon reader also with --zeros, --digits and --units. A file that reads
// must write back, in its own order and reversed, to a file that reads again
// (as twcycle drill reads it back: in the zeros, digits and unit settled the
// first time) with the same holes in the same blocks and the same other lines.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "twcycle/drill/csv_reader.h"
#include "twcycle/drill/drill_writer.h"
#include "twcycle/drill/excellon_reader.h"
#include "twcycle/drill/hole_check.h"

namespace {

using namespace twcycle::drill;

void require(bool condition) {
    if (!condition) std::abort();
}

DrillReading readAs(DrillFormat format, std::string_view content, const ExcellonOptions& options) {
    return format == DrillFormat::Csv ? readCsv(content) : readExcellon(content, options);
}

// The options of a run, chosen by the input's length so that every input
// also meets each override.
ExcellonOptions optionsFor(std::size_t size) {
    ExcellonOptions options;
    switch (size % 4) {
        case 1:
            options.numbers.zeros = ZeroMode::Leading;
            break;
        case 2:
            options.numbers.zeros = ZeroMode::Trailing;
            options.numbers.digits = readDigitsOption("3.3");
            break;
        case 3:
            options.unit = "mm";
            options.numbers.digits = readDigitsOption("9.9");
            break;
        default:
            break;
    }
    return options;
}

void checkRoundTrip(const DrillFile& file, const HoleOrder& order) {
    const std::optional<std::string> written = writeDrillFile(file, order);
    require(written.has_value());
    const DrillReading again = readAs(file.format, *written, readingOptions(file));
    require(again.error.empty());
    require(compareDrillFiles(file, again.file).empty());
}

void drive(DrillFormat format, std::string_view content, const ExcellonOptions& options) {
    const DrillReading reading = readAs(format, content, options);
    if (!reading.error.empty()) {
        require(reading.error.compare(0, 5, "line ") == 0);
        return;
    }
    const DrillFile& file = reading.file;
    for (const Hole& hole : file.holes) {
        require(hole.line < file.lines.size() && hole.block < file.blocks.size());
        require(!hole.x.text.empty() && !hole.y.text.empty());
        require(!exactDecimal(hole.x).empty() && !exactDecimal(hole.y).empty());
    }
    // Excellon blocks keep file order: a block's holes come after the
    // previous block's (CSV rows are grouped by tool).
    std::size_t lastLine = 0;
    for (const ToolBlock& block : format == DrillFormat::Excellon ? file.blocks : std::vector<ToolBlock>{}) {
        for (std::size_t hole : block.holes) {
            require(file.holes[hole].line >= lastLine);
            lastLine = file.holes[hole].line;
        }
    }
    HoleOrder order = fileOrder(file);
    checkRoundTrip(file, order);
    for (std::vector<std::size_t>& block : order) std::reverse(block.begin(), block.end());
    checkRoundTrip(file, order);
    if (!order.empty() && order.front().size() > 1) {
        std::swap(order.front()[0], order.front()[1]);
        checkRoundTrip(file, order);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view content(reinterpret_cast<const char*>(data), size);
    drive(DrillFormat::Excellon, content, {});
    drive(DrillFormat::Excellon, content, optionsFor(size));
    drive(DrillFormat::Csv, content, {});
    return 0;
}
