// Drives the Excellon and CSV drill-file readers over arbitrary bytes. A
// file that reads must write back, in its own order and reversed, to a file
// that reads again with the same holes and the same other lines.
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

DrillReading readAs(DrillFormat format, std::string_view content) {
    return format == DrillFormat::Csv ? readCsv(content) : readExcellon(content);
}

void checkRoundTrip(const DrillFile& file, const HoleOrder& order) {
    const std::optional<std::string> written = writeDrillFile(file, order);
    require(written.has_value());
    const DrillReading again = readAs(file.format, *written);
    require(again.error.empty());
    require(compareDrillFiles(file, again.file).empty());
}

void drive(DrillFormat format, std::string_view content) {
    const DrillReading reading = readAs(format, content);
    if (!reading.error.empty()) {
        require(reading.error.compare(0, 5, "line ") == 0);
        return;
    }
    const DrillFile& file = reading.file;
    for (const Hole& hole : file.holes) {
        require(hole.line < file.lines.size() && hole.block < file.blocks.size());
        require(!hole.x.text.empty() && !hole.y.text.empty());
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
    drive(DrillFormat::Excellon, content);
    drive(DrillFormat::Csv, content);
    return 0;
}
