#include "csv_reader.h"
#include "twcycle/drill/characters.h"

#include <charconv>
#include <cmath>
#include <map>
#include <vector>

#include "drill_lines.h"

namespace twcycle::drill {
namespace {

// |x| and |y| stay below this, so that their fixed-point values fit.
constexpr double kMaxCoordinate = 1e9;


// A sign, digits with at most one '.', at least one digit, and an optional
// exponent: the numbers spreadsheets and scripts write.
bool isNumber(std::string_view text) {
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    std::size_t digits = 0;
    bool point = false;
    for (; i < text.size(); ++i) {
        if (isDigit(text[i])) {
            ++digits;
        } else if (text[i] == '.' && !point) {
            point = true;
        } else {
            break;
        }
    }
    if (digits == 0) return false;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
        std::size_t exponent = 0;
        for (; i < text.size() && isDigit(text[i]); ++i) ++exponent;
        if (exponent == 0) return false;
    }
    return i == text.size();
}

std::vector<std::string_view> splitFields(std::string_view text, char separator) {
    std::vector<std::string_view> fields;
    if (separator == ' ') {
        std::size_t i = 0;
        while (i < text.size()) {
            while (i < text.size() && isBlank(text[i])) ++i;
            const std::size_t begin = i;
            while (i < text.size() && !isBlank(text[i])) ++i;
            if (i > begin) fields.push_back(text.substr(begin, i - begin));
        }
        return fields;
    }
    std::size_t begin = 0;
    while (true) {
        const std::size_t at = text.find(separator, begin);
        fields.push_back(trimmed(text.substr(begin, at == std::string_view::npos ? std::string_view::npos : at - begin)));
        if (at == std::string_view::npos) return fields;
        begin = at + 1;
    }
}

char separatorOf(std::string_view line) {
    for (char candidate : {';', ',', '\t'})
        if (line.find(candidate) != std::string_view::npos) return candidate;
    return ' ';
}

bool isComment(std::string_view text) { return text.empty() || text.front() == '#'; }

class CsvReader {
public:
    explicit CsvReader(std::string_view content) {
        file_.format = DrillFormat::Csv;
        file_.lines = splitLines(content);
    }

    DrillReading read() {
        DrillReading reading;
        for (std::size_t index = 0; index < file_.lines.size(); ++index) {
            const std::string& text = file_.lines[index].text;
            std::string reason;
            if (text.size() > kMaxLineLength) {
                reason = "a line longer than 4096 characters";
            } else {
                reason = readLine(index, trimmed(text));
            }
            if (!reason.empty()) {
                reading.error = lineError(index, text, reason);
                return reading;
            }
        }
        reading.file = std::move(file_);
        return reading;
    }

private:
    std::string readLine(std::size_t index, std::string_view text) {
        if (isComment(text)) return {};
        const bool first = separator_ == 0;
        if (first) separator_ = separatorOf(text);
        const std::vector<std::string_view> fields = splitFields(text, separator_);
        if (first && !fields.empty() && !isNumber(fields[0])) return {};  // the header line
        if (fields.size() != 2 && fields.size() != 3) return "a row that is not x,y or x,y,tool";
        if (columns_ == 0) columns_ = fields.size();
        if (fields.size() != columns_)
            return columns_ == 2 ? "a row with a tool in a file whose rows have none" : "a row without a tool";
        Hole hole;
        hole.line = index;
        for (auto [coordinate, field] : {std::pair<Coordinate*, std::string_view>{&hole.x, fields[0]}, {&hole.y, fields[1]}}) {
            double value = 0.0;
            if (!isNumber(field)) return "a coordinate that is not a number with '.' as the decimal point";
            const std::string_view digits = field.front() == '+' ? field.substr(1) : field;
            const std::from_chars_result parsed = std::from_chars(digits.data(), digits.data() + digits.size(), value);
            if (parsed.ec != std::errc() || !(std::fabs(value) < kMaxCoordinate)) return "a coordinate beyond the range of a drill file";
            coordinate->text.assign(field);
            coordinate->value = std::llround(value * static_cast<double>(kValueScale));
            // A plain decimal text gets its exact value, as Excellon numbers do.
            if (field.find_first_of("eE") == std::string_view::npos) {
                const std::string decimal = field.find('.') == std::string_view::npos ? std::string(field) + "."
                                                                                       : std::string(field);
                const NumberReading exact = readExcellonNumber(decimal, NumberFormat{});
                if (exact.error.empty()) coordinate->value = exact.value;
            }
        }
        hole.block = blockOf(columns_ == 3 ? fields[2] : std::string_view(), index);
        file_.lines[index].hole = static_cast<std::ptrdiff_t>(file_.holes.size());
        file_.blocks[hole.block].holes.push_back(file_.holes.size());
        file_.holes.push_back(std::move(hole));
        return {};
    }

    std::size_t blockOf(std::string_view tool, std::size_t line) {
        const auto [at, added] = blocks_.emplace(std::string(tool), file_.blocks.size());
        if (added) file_.blocks.push_back(ToolBlock{std::string(tool), {}, line});
        return at->second;
    }

    DrillFile file_;
    char separator_ = 0;
    std::size_t columns_ = 0;
    std::map<std::string, std::size_t> blocks_;
};

}  // namespace

DrillReading readCsv(std::string_view content) { return CsvReader(content).read(); }

}  // namespace twcycle::drill
