#include "excellon_reader.h"

#include "drill_lines.h"
#include "excellon_reader_state.h"

namespace twcycle::drill {
namespace excellon {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

std::string defaultDigitsOrigin(const std::string& unit) {
    return unit.empty() ? "the default of a file without unit" : "the " + unit + " default";
}

}  // namespace

Reader::Reader(std::string_view content, const ExcellonOptions& options, Pass pass, const NumberFormat* settled)
    : options_(options), pass_(pass) {
    file_.lines = splitLines(content);
    if (settled) settled_ = *settled;
    if (!options_.unit.empty()) setUnit(settings_, options_.unit);
    numbers_.format = settings_.format;
    numbers_.digitsOrigin = defaultDigitsOrigin(options_.unit);
}

bool Reader::refuse(std::string reason) {
    error_ = std::move(reason);
    return false;
}

std::string Reader::lineName(std::size_t line) const { return "line " + std::to_string(line + 1); }

bool Reader::read() {
    for (index_ = 0; index_ < file_.lines.size(); ++index_) {
        std::string_view text = file_.lines[index_].text;
        if (text.size() > kMaxLineLength) return refuse("a line longer than 4096 characters");
        if (index_ == 0 && text.substr(0, kByteOrderMark.size()) == kByteOrderMark)
            text.remove_prefix(kByteOrderMark.size());
        if (!readLine(trimmed(text))) return false;
    }
    return true;
}

DrillFile Reader::takeFile() {
    file_.unit = options_.unit.empty() ? fileUnit_ : options_.unit;
    if (!options_.unit.empty()) {
        file_.unitOrigin = "--units";
    } else if (!fileUnit_.empty()) {
        file_.unitOrigin = lineName(fileUnitLine_) + ": " + std::string(trimmed(file_.lines[fileUnitLine_].text));
    }
    return std::move(file_);
}

bool Reader::readLine(std::string_view text) {
    if (text.empty()) return true;
    if (text.front() == ';') return readComment(text);
    switch (section_) {
        case Section::Start:
            if (text == "M48") {
                section_ = Section::Header;
                return true;
            }
            if (text == "%") return true;
            section_ = Section::Body;
            return readBodyLine(text);
        case Section::Header:
            return readHeader(text);
        case Section::Body:
            return readBodyLine(text);
        case Section::End:
            if (text == "%") return true;
            return refuse("a statement after the end of the program (M30)");
    }
    return true;
}

bool Reader::readComment(std::string_view text) {
    const NumberFormat before = settings_.format;
    const bool givenBefore = settings_.digitsGiven;
    drill::readComment(text, settings_);
    const NumberFormat& after = settings_.format;
    if (coordinatesRead_ && (before.integerDigits != after.integerDigits || before.decimalDigits != after.decimalDigits))
        return refuse("a number format given after the first coordinate");
    noteStatements(before, givenBefore);
    return true;
}

// Keeps `numbers_` in step with what the file has said so far, and where.
void Reader::noteStatements(const NumberFormat& before, bool digitsGivenBefore) {
    const NumberFormat& after = settings_.format;
    const std::string origin = lineName(index_) + ": " + std::string(trimmed(file_.lines[index_].text));
    if (after.zeros != before.zeros) numbers_.zerosOrigin = origin;
    if (settings_.digitsGiven &&
        (!digitsGivenBefore || after.integerDigits != before.integerDigits || after.decimalDigits != before.decimalDigits))
        numbers_.digitsOrigin = origin;
    if (!settings_.digitsGiven) numbers_.digitsOrigin = defaultDigitsOrigin(settings_.unit);
    numbers_.format = after;
    numbers_.digitsGiven = settings_.digitsGiven;
}

bool Reader::readHeader(std::string_view text) {
    const NumberFormat before = settings_.format;
    const bool givenBefore = settings_.digitsGiven;
    const std::string unitBefore = settings_.unit;
    std::string replacement;
    switch (readHeaderLine(text, settings_, error_, replacement)) {
        case HeaderLine::End:
            section_ = Section::Body;
            return true;
        case HeaderLine::Refused:
            return false;
        case HeaderLine::Kept:
            break;
    }
    const NumberFormat& after = settings_.format;
    if (coordinatesRead_ && (before.integerDigits != after.integerDigits ||
                             before.decimalDigits != after.decimalDigits || before.zeros != after.zeros))
        return refuse("a number format given after the first coordinate");
    if (!checkUnitStatement(unitBefore)) return false;
    noteStatements(before, givenBefore);
    if (!replacement.empty()) {
        file_.lines[index_].replacement = replacement;
        file_.incremental = true;
    }
    return true;
}

// After a line that may have stated a unit: two statements that disagree
// are refused unless --units says which unit the file is in.
bool Reader::checkUnitStatement(const std::string& unitBefore) {
    if (settings_.statedUnit.empty()) return true;
    const std::string unit = settings_.statedUnit;
    settings_.statedUnit.clear();
    if (coordinatesRead_ && unit != unitBefore)
        return refuse("a change of unit after the first coordinate, which this reader does not support");
    if (fileUnit_.empty()) {
        fileUnit_ = unit;
        fileUnitLine_ = index_;
    } else if (unit != fileUnit_ && options_.unit.empty()) {
        return refuse("a unit statement that disagrees with " + lineName(fileUnitLine_) + " (" + fileUnit_ +
                      "); --units inch or --units mm settles it");
    }
    if (!options_.unit.empty() && unit != options_.unit && pass_ == Pass::Read)
        file_.notes.push_back(lineError(index_, file_.lines[index_].text,
                                        "the file says " + unit + "; read in " + options_.unit + " as --units says"));
    return true;
}

void Reader::wall() {
    wallPending_ = true;
    wallLine_ = index_;
}

bool Reader::selectTool(std::string_view tool) {
    ToolBlock block;
    block.tool.assign(tool);
    block.line = index_;
    file_.blocks.push_back(std::move(block));
    wallPending_ = false;
    return true;
}

bool Reader::readBodyLine(std::string_view text) {
    if (text == "%") {  // rewind and stop
        wall();
        return true;
    }
    if (text == "M48") {  // the header restated
        wall();
        section_ = Section::Header;
        return true;
    }
    if (text == "M47" || text.substr(0, 4) == "M47,") return true;  // operator message
    if (isToolLine(text)) return selectTool(toolOf(text));
    const std::optional<std::vector<ExcellonWord>> words = splitWords(text);
    if (!words || words->empty()) return refuse("not an Excellon statement this reader understands");
    const ExcellonWord& first = words->front();
    for (const ExcellonWord& word : *words)
        if (word.letter == 'G' && codeValue(word.number) == 85) return readSlot(*words);
    if (first.letter == 'X' || first.letter == 'Y') return routing_ ? readRouteMove(*words, true) : readHole(*words);
    if (first.letter == 'R') {
        if (words->size() > 1 && (*words)[1].letter == 'M' && codeValue((*words)[1].number) == 2)
            return readPatternRepeat(*words, 1);
        return readRepeat(*words);
    }
    if (first.letter == 'M' && codeValue(first.number) == 2 && words->size() > 1) return readPatternRepeat(*words, 0);
    if (first.letter == 'G' && (codeValue(first.number) == 93 || codeValue(first.number) == 92) && words->size() > 1)
        return readZeroSet(*words);
    if (first.letter == 'F' || first.letter == 'S') {  // feed and speed: nothing moves
        for (const ExcellonWord& word : *words)
            if ((word.letter != 'F' && word.letter != 'S') || !isCode(word.number))
                return refuse("a feed or speed with a word this reader does not know");
        return true;
    }
    if (words->size() == 1 && isCode(first.number) && (first.letter == 'G' || first.letter == 'M'))
        return readCode(first);
    if (first.letter == 'G' && isCode(first.number)) {
        const long code = codeValue(first.number);
        if (code >= 0 && code <= 3) return readRouteMove(*words, code != 0);
    }
    return refuse("not an Excellon statement this reader understands");
}

bool Reader::readCode(const ExcellonWord& word) {
    const long code = codeValue(word.number);
    return word.letter == 'G' ? readGCode(code) : readMCode(code);
}

bool Reader::readGCode(long code) {
    switch (code) {
        case 0:
        case 1:
            routing_ = true;  // a bare G00 or G01: the route follows
            wall();
            return true;
        case 5:
        case 81:
            routing_ = false;
            wall();
            return true;
        case 40:  // cutter compensation of a route: off, left, right
        case 41:
        case 42:
            wall();
            return true;
        case 90:
            settings_.incremental = false;
            return true;
        case 91:
            settings_.incremental = true;
            file_.incremental = true;
            file_.lines[index_].replacement = "G90";
            return true;
        default:
            return refuse("a G code this reader does not know");
    }
}

bool Reader::readMCode(long code) {
    switch (code) {
        case 15:  // tool down: cuts where the route stands
            wall();
            if (!requireAbsolute() || !dependOnBoth()) return false;
            openRoute_ = startCut(true);
            return true;
        case 16:
        case 17:
            wall();
            openRoute_.reset();
            return true;
        case 30:
            section_ = Section::End;
            return true;
        case 0:  // stops: where files without T codes change tools
        case 6:
        case 9:
            wall();
            return true;
        case 1:  // the end of a pattern, or else an optional stop
            inPattern_ = false;
            wall();
            return true;
        case 25:
        case 31:
            if (inPattern_) return refuse("a pattern begun inside a pattern");
            inPattern_ = true;
            patternSeen_ = true;
            wall();
            return true;
        case 2:  // the end of the pattern repeats
        case 8:
            wall();
            return true;
        case 71:
        case 72: {
            const std::string unitBefore = settings_.unit;
            const NumberFormat before = settings_.format;
            const bool givenBefore = settings_.digitsGiven;
            stateUnit(settings_, code == 71 ? "mm" : "inch");
            if (!checkUnitStatement(unitBefore)) return false;
            noteStatements(before, givenBefore);
            return true;
        }
        default:
            return refuse("an M code this reader does not know");
    }
}

}  // namespace excellon

DrillReading readExcellon(std::string_view content, const ExcellonOptions& options) {
    DrillReading reading;
    excellon::Reader survey(content, options, excellon::Pass::Survey, nullptr);
    if (!survey.read()) {
        reading.error = lineError(survey.errorLine(), survey.lines()[survey.errorLine()].text, survey.error());
        return reading;
    }
    const NumberInference inference =
        inferNumbers(survey.survey(), survey.fileNumbers(), options.numbers, survey.lines());
    if (!inference.error.empty()) {
        reading.error = lineError(inference.errorLine, survey.lines()[inference.errorLine].text, inference.error);
        return reading;
    }
    excellon::Reader reader(content, options, excellon::Pass::Read, &inference.format);
    if (!reader.read()) {
        reading.error = lineError(reader.errorLine(), reader.lines()[reader.errorLine()].text, reader.error());
        return reading;
    }
    reading.file = reader.takeFile();
    DrillFile& file = reading.file;
    file.numbers = inference.format;
    file.zerosOrigin = inference.zerosOrigin;
    file.digitsOrigin = inference.digitsOrigin;
    file.notes.insert(file.notes.begin(), inference.notes.begin(), inference.notes.end());
    return reading;
}

ExcellonOptions readingOptions(const DrillFile& file) {
    ExcellonOptions options;
    if (file.numbers.zeros != ZeroMode::Unknown) options.numbers.zeros = file.numbers.zeros;
    options.numbers.digits = file.numbers;
    options.unit = file.unit;
    return options;
}

}  // namespace twcycle::drill
