#include "excellon_header.h"

#include <vector>

#include "excellon_words.h"

namespace twcycle::drill {
namespace {

std::vector<std::string_view> commaFields(std::string_view text) {
    std::vector<std::string_view> fields;
    std::size_t begin = 0;
    while (true) {
        const std::size_t comma = text.find(',', begin);
        fields.push_back(text.substr(begin, comma == std::string_view::npos ? std::string_view::npos : comma - begin));
        if (comma == std::string_view::npos) return fields;
        begin = comma + 1;
    }
}

bool isOneOf(std::string_view text, std::initializer_list<std::string_view> words) {
    for (std::string_view word : words)
        if (text == word) return true;
    return false;
}

// "INCH" or "METRIC", then in any order LZ or TZ and a digit pattern.
HeaderLine readUnitLine(const std::vector<std::string_view>& fields, ExcellonSettings& settings, std::string& reason) {
    bool zerosGiven = false;
    bool patternGiven = false;
    NumberFormat format = settings.format;
    for (std::size_t i = 1; i < fields.size(); ++i) {
        if ((fields[i] == "LZ" || fields[i] == "TZ") && !zerosGiven) {
            format.zeros = fields[i] == "LZ" ? ZeroMode::Leading : ZeroMode::Trailing;
            zerosGiven = true;
        } else if (!patternGiven && readDigitPattern(fields[i], format)) {
            patternGiven = true;
        } else {
            reason = "a unit statement with a part that is neither LZ, TZ nor a digit pattern such as 000.000";
            return HeaderLine::Refused;
        }
    }
    stateUnit(settings, fields[0] == "INCH" || fields[0] == "M72" ? "inch" : "mm");
    if (patternGiven) {
        settings.format.integerDigits = format.integerDigits;
        settings.format.decimalDigits = format.decimalDigits;
        settings.digitsGiven = true;
    }
    settings.format.zeros = format.zeros;
    return HeaderLine::Kept;
}

}  // namespace

void setUnit(ExcellonSettings& settings, const std::string& unit) {
    settings.unit = unit;
    if (settings.digitsGiven) return;
    settings.format.integerDigits = unit == "inch" ? 2 : 3;
    settings.format.decimalDigits = unit == "inch" ? 4 : 3;
}

void stateUnit(ExcellonSettings& settings, const std::string& unit) {
    setUnit(settings, unit);
    settings.statedUnit = unit;
}

void readComment(std::string_view comment, ExcellonSettings& settings) {
    constexpr std::string_view kFileFormat = ";FILE_FORMAT=";
    if (comment.substr(0, kFileFormat.size()) != kFileFormat) return;
    std::string_view value = comment.substr(kFileFormat.size());
    for (std::string_view end : {"*%", "*"}) {
        if (value.size() >= end.size() && value.substr(value.size() - end.size()) == end) {
            value.remove_suffix(end.size());
            break;
        }
    }
    if (readFileFormat(value, settings.format)) settings.digitsGiven = true;
}

bool isToolLine(std::string_view text) {
    const std::optional<std::vector<ExcellonWord>> words = splitWords(text);
    if (!words || words->empty() || words->front().letter != 'T' || !isCode(words->front().number)) return false;
    for (std::size_t i = 1; i < words->size(); ++i) {
        const ExcellonWord& word = (*words)[i];
        if (word.letter == 'T' || word.letter == 'X' || word.letter == 'Y' || word.letter == 'G' || word.letter == 'M')
            return false;
        if (word.number.empty()) return false;
    }
    return true;
}

std::string_view toolOf(std::string_view text) {
    std::size_t end = 1;
    while (end < text.size() && text[end] >= '0' && text[end] <= '9') ++end;
    return text.substr(0, end);
}

HeaderLine readHeaderLine(std::string_view text, ExcellonSettings& settings, std::string& reason,
                          std::string& replacement) {
    if (text == "%" || text == "M95") return HeaderLine::End;
    const std::vector<std::string_view> fields = commaFields(text);
    const std::string_view first = fields[0];
    // "M71,TZ" is written like "METRIC,TZ".
    if (isOneOf(first, {"INCH", "METRIC", "M71", "M72"})) return readUnitLine(fields, settings, reason);
    if (fields.size() == 1) {
        if (text == "G90" || text == "G91") {
            settings.incremental = text == "G91";
            if (settings.incremental) replacement = "G90";
            return HeaderLine::Kept;
        }
        // "/" alone: an empty block; G90 restated; stops of the header.
        if (isOneOf(text, {"OSTOP", "BLKD", "/", "M47"}) || isToolLine(text)) return HeaderLine::Kept;
    } else if (fields.size() == 2) {
        // R,C R,CP R,CR R,D R,H: resets of the machine's counters and clocks.
        if (first == "R" && isOneOf(fields[1], {"C", "CP", "CR", "D", "H"})) return HeaderLine::Kept;
        if (first == "FMAT" && isOneOf(fields[1], {"1", "2"})) return HeaderLine::Kept;
        if (first == "VER" && isOneOf(fields[1], {"1", "2"})) return HeaderLine::Kept;
        if (isOneOf(first, {"DETECT", "ATC", "AFS", "SBK", "BLKD", "CCW", "NCSL", "OSTOP", "RSB"}) &&
            isOneOf(fields[1], {"ON", "OFF"}))
            return HeaderLine::Kept;
        if (first == "ICI" && isOneOf(fields[1], {"ON", "OFF"})) {
            settings.incremental = fields[1] == "ON";
            if (settings.incremental) replacement = "ICI,OFF";
            return HeaderLine::Kept;
        }
    }
    if (first == "M47") return HeaderLine::Kept;  // an operator message
    if (text == "M48") {
        reason = "a second M48 inside the header";
    } else {
        reason = "a header statement this reader does not know";
    }
    return HeaderLine::Refused;
}

}  // namespace twcycle::drill
