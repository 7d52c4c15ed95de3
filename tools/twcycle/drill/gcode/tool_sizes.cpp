#include "tool_sizes.h"

#include "twcycle/drill/drill_lines.h"
#include "twcycle/drill/excellon_header.h"
#include "twcycle/drill/excellon_words.h"

namespace twcycle::drill::gcode {

long toolNumber(const std::string& tool) {
    if (tool.size() < 2 || tool[0] != 'T') return -1;
    return codeValue(std::string_view(tool).substr(1));
}

std::map<long, std::int64_t> toolSizes(const DrillFile& file) {
    std::map<long, std::int64_t> sizes;
    if (file.format != DrillFormat::Excellon) return sizes;
    for (const DrillLine& line : file.lines) {
        const std::string_view text = trimmed(line.text);
        if (!isToolLine(text)) continue;
        const long number = codeValue(toolOf(text).substr(1));
        const std::optional<std::vector<ExcellonWord>> words = splitWords(text);
        for (const ExcellonWord& word : *words) {
            if (word.letter != 'C') continue;
            const NumberReading size = readExcellonNumber(word.number, file.numbers);
            if (size.error.empty() && size.value > 0 && number >= 0) sizes.emplace(number, size.value);
            break;
        }
    }
    return sizes;
}

}  // namespace twcycle::drill::gcode
