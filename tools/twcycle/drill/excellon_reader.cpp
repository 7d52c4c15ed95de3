#include "excellon_reader.h"

#include <optional>
#include <vector>

#include "drill_lines.h"
#include "excellon_header.h"
#include "excellon_words.h"

namespace twcycle::drill {
namespace {

// A repeat code may not drill more holes than this at once.
constexpr long kMaxRepeatCount = 100000;
// Coordinates stay well inside the 64-bit range of their fixed-point values.
constexpr std::int64_t kMaxValue = 1000000000000000000;

// Where the reader stands in the file:
//
//   section   line                 next section
//   Start     M48                  Header
//   Start     '%', ';', blank      Start
//   Start     anything else        Body (a file without header; the line is read there)
//   Header    '%' or M95           Body
//   Header    statement, ';'       Header
//   Body      M30 or M00           End
//   Body      M48                  refused (a header after holes)
//   End       ';', '%', blank      End
//   End       anything else        refused
enum class Section { Start, Header, Body, End };

// One axis of the current position: its value, the text that gives it, the
// style that text is written in, and the line that set it (-1: none yet).
struct Axis {
    Coordinate coordinate;
    NumberStyle style;
    std::ptrdiff_t setter = -1;
};

struct ParsedMove {
    std::optional<std::string_view> x;
    std::optional<std::string_view> y;
};

class ExcellonReader {
public:
    explicit ExcellonReader(std::string_view content) { file_.lines = splitLines(content); }

    DrillReading read() {
        DrillReading reading;
        for (index_ = 0; index_ < file_.lines.size(); ++index_) {
            if (file_.lines[index_].text.size() > kMaxLineLength) {
                reading.error = lineError(index_, file_.lines[index_].text, "a line longer than 4096 characters");
                return reading;
            }
            if (!readLine(trimmed(file_.lines[index_].text))) {
                reading.error = lineError(index_, file_.lines[index_].text, reason_);
                return reading;
            }
        }
        file_.unit = settings_.unit;
        file_.numbers = settings_.format;
        reading.file = std::move(file_);
        return reading;
    }

private:
    bool refuse(std::string reason) {
        reason_ = std::move(reason);
        return false;
    }

    bool readLine(std::string_view text) {
        if (text.empty()) return true;
        if (text.front() == ';') {
            const NumberFormat before = settings_.format;
            readComment(text, settings_);
            const NumberFormat& after = settings_.format;
            if (coordinatesRead_ && (before.integerDigits != after.integerDigits || before.decimalDigits != after.decimalDigits))
                return refuse("a number format given after the first coordinate");
            return true;
        }
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
                return refuse("a statement after the end of the program (M30 or M00)");
        }
        return true;
    }

    bool readHeader(std::string_view text) {
        std::string replacement;
        switch (readHeaderLine(text, settings_, reason_, replacement)) {
            case HeaderLine::End:
                section_ = Section::Body;
                return true;
            case HeaderLine::Refused:
                return false;
            case HeaderLine::Kept:
                break;
        }
        if (!replacement.empty()) {
            file_.lines[index_].replacement = replacement;
            file_.incremental = true;
        }
        return true;
    }

    bool readBodyLine(std::string_view text) {
        if (text == "%") return true;
        if (text == "M48") return refuse("a header (M48) after the program has begun");
        if (text.substr(0, 4) == "M47,") return true;  // operator message
        if (isToolLine(text)) return selectTool(toolOf(text));
        const std::optional<std::vector<ExcellonWord>> words = splitWords(text);
        if (!words || words->empty()) return refuse("not an Excellon statement this reader understands");
        const ExcellonWord& first = words->front();
        for (const ExcellonWord& word : *words)
            if (word.letter == 'G' && codeValue(word.number) == 85) return readSlot(*words);
        if (first.letter == 'X' || first.letter == 'Y') return routing_ ? readRouteMove(*words, true) : readHole(*words);
        if (first.letter == 'R') return readRepeat(*words);
        if (words->size() == 1 && isCode(first.number) && (first.letter == 'G' || first.letter == 'M'))
            return readCode(first.letter, codeValue(first.number));
        if (first.letter == 'G' && isCode(first.number)) {
            const long code = codeValue(first.number);
            if (code >= 0 && code <= 3) return readRouteMove(*words, code != 0);
        }
        return refuse("not an Excellon statement this reader understands");
    }

    bool readCode(char letter, long code) {
        if (letter == 'G') {
            switch (code) {
                case 0:
                case 1:
                    routing_ = true;  // a bare G00 or G01: the route follows
                    return true;
                case 5:
                case 81:
                    routing_ = false;
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
        switch (code) {
            case 15:  // tool down: cuts where the route stands
                if (!requireAbsolute() || !dependOnBoth()) return false;
                openRoute_ = startCut(true);
                return true;
            case 16:
            case 17:
                openRoute_.reset();
                return true;
            case 30:
            case 0:
                section_ = Section::End;
                return true;
            case 71:
            case 72: {
                const std::string unit = code == 71 ? "mm" : "inch";
                if (!settings_.unit.empty() && settings_.unit != unit)
                    return refuse("a change of unit inside the program");
                if (settings_.unit.empty() && !file_.holes.empty())
                    return refuse("a unit given after the first hole");
                setUnit(settings_, unit);
                return true;
            }
            default:
                return refuse("an M code this reader does not know");
        }
    }

    bool selectTool(std::string_view tool) {
        ToolBlock block;
        block.tool.assign(tool);
        file_.blocks.push_back(std::move(block));
        return true;
    }

    // Reads the X and Y words of `words` from `begin` up to a word of
    // another letter (returned in `end`); each at most once.
    bool readMove(const std::vector<ExcellonWord>& words, std::size_t begin, std::size_t& end, ParsedMove& move) {
        end = begin;
        for (; end < words.size(); ++end) {
            const ExcellonWord& word = words[end];
            std::optional<std::string_view>& slot = word.letter == 'X' ? move.x : move.y;
            if (word.letter != 'X' && word.letter != 'Y') break;
            if (slot) return refuse(std::string("a second ") + word.letter + " in one move");
            if (word.number.empty()) return refuse(std::string(1, word.letter) + " without a number");
            slot = word.number;
        }
        return true;
    }

    // The axis after a move to `text` (none: the axis stays), in the mode in force.
    bool moveAxis(Axis& axis, const std::optional<std::string_view>& text) {
        coordinatesRead_ = true;
        if (!text && !settings_.incremental) return true;
        NumberReading number{};
        if (text) {
            number = readExcellonNumber(*text, settings_.format);
            if (!number.error.empty()) return refuse(number.error);
        }
        if (!settings_.incremental) {
            axis.coordinate = Coordinate{std::string(*text), number.value};
            axis.style = number.style;
            axis.setter = static_cast<std::ptrdiff_t>(index_);
            return true;
        }
        const NumberStyle style = text ? number.style : axis.style;
        return setAxis(axis, axis.coordinate.value, number.value, style);
    }

    // Sets `axis` to `base + step`, written in `style`.
    bool setAxis(Axis& axis, std::int64_t base, std::int64_t step, const NumberStyle& style) {
        const std::int64_t value = base + step;
        if (step > kMaxValue || step < -kMaxValue || value > kMaxValue || value < -kMaxValue)
            return refuse("a coordinate beyond the range of a drill file");
        const std::optional<std::string> text = writeExcellonNumber(value, style, settings_.format);
        if (!text) return refuse("an absolute coordinate the file's number format cannot write");
        axis.coordinate = Coordinate{*text, value};
        axis.style = style;
        axis.setter = static_cast<std::ptrdiff_t>(index_);
        return true;
    }

    bool readHole(const std::vector<ExcellonWord>& words) {
        ParsedMove move;
        std::size_t end = 0;
        if (!readMove(words, 0, end, move)) return false;
        if (end != words.size()) return refuse("a hole with more than X and Y");
        if (!settings_.incremental) {
            if (!move.x && x_.setter < 0) return refuse("a hole without X, and no earlier X to repeat");
            if (!move.y && y_.setter < 0) return refuse("a hole without Y, and no earlier Y to repeat");
        }
        if (!moveAxis(x_, move.x) || !moveAxis(y_, move.y)) return false;
        if (file_.blocks.empty()) selectTool("");
        Hole hole;
        hole.line = index_;
        hole.block = file_.blocks.size() - 1;
        hole.x = x_.coordinate;
        hole.y = y_.coordinate;
        hole.verbatim = move.x && move.y && !settings_.incremental;
        file_.lines[index_].hole = static_cast<std::ptrdiff_t>(file_.holes.size());
        file_.blocks.back().holes.push_back(file_.holes.size());
        file_.holes.push_back(std::move(hole));
        return true;
    }

    bool requireAbsolute() {
        if (settings_.incremental) return refuse("routing or a slot in incremental mode (G91), which this reader does not support");
        return true;
    }

    // The line uses the current position: the holes from the lines that set
    // it up to here stay where they are, so that the position stays the same.
    bool dependOn(const Axis& axis) {
        if (axis.setter < 0) return refuse("a move from a position no earlier line gives");
        for (std::size_t line = static_cast<std::size_t>(axis.setter); line < index_; ++line)
            if (file_.lines[line].hole >= 0) file_.holes[static_cast<std::size_t>(file_.lines[line].hole)].pinned = true;
        return true;
    }

    bool dependOnBoth() { return dependOn(x_) && dependOn(y_); }

    // G00..G03 and moves in route mode: kept in place; a cutting move starts
    // where the route stands, a rapid move only takes what it leaves out.
    bool readRouteMove(const std::vector<ExcellonWord>& words, bool cutting) {
        if (!requireAbsolute()) return false;
        const std::size_t begin = words.front().letter == 'G' ? 1 : 0;
        ParsedMove move;
        std::size_t end = 0;
        if (!readMove(words, begin, end, move)) return false;
        for (std::size_t i = end; i < words.size(); ++i) {
            const char letter = words[i].letter;
            if ((letter != 'A' && letter != 'I' && letter != 'J') || words[i].number.empty())
                return refuse("a route move with a word this reader does not know");
        }
        if (cutting && !dependOnBoth()) return false;
        if (!cutting && ((!move.x && !dependOn(x_)) || (!move.y && !dependOn(y_)))) return false;
        routing_ = true;
        if (!moveAxis(x_, move.x) || !moveAxis(y_, move.y)) return false;
        if (openRoute_) {
            DrillCut& route = file_.cuts[*openRoute_];
            route.points.push_back({x_.coordinate, y_.coordinate});
            const long code = words.front().letter == 'G' ? codeValue(words.front().number) : -1;
            if (code == 2 || code == 3 || end < words.size()) route.arc = true;
        }
        return true;
    }

    // A new cut in the current block, from the current position.
    std::size_t startCut(bool milled) {
        if (file_.blocks.empty()) selectTool("");
        DrillCut cut;
        cut.line = index_;
        cut.block = file_.blocks.size() - 1;
        cut.milled = milled;
        if (milled) cut.points.push_back({x_.coordinate, y_.coordinate});
        file_.cuts.push_back(std::move(cut));
        return file_.cuts.size() - 1;
    }

    // [X..][Y..]G85[X..][Y..]: a slot from the first point (what it leaves
    // out comes from the current position) to the second (what it leaves out
    // comes from the first point).
    bool readSlot(const std::vector<ExcellonWord>& words) {
        if (!requireAbsolute()) return false;
        ParsedMove from;
        ParsedMove to;
        std::size_t end = 0;
        if (!readMove(words, 0, end, from)) return false;
        if (end >= words.size() || words[end].letter != 'G' || codeValue(words[end].number) != 85)
            return refuse("a slot (G85) with a word this reader does not know");
        std::size_t last = 0;
        if (!readMove(words, end + 1, last, to)) return false;
        if (last != words.size() || (!to.x && !to.y)) return refuse("a slot (G85) without an end point");
        if ((!from.x && !dependOn(x_)) || (!from.y && !dependOn(y_))) return false;
        if (!moveAxis(x_, from.x) || !moveAxis(y_, from.y)) return false;
        const std::size_t slot = startCut(true);
        if (!moveAxis(x_, to.x) || !moveAxis(y_, to.y)) return false;
        file_.cuts[slot].points.push_back({x_.coordinate, y_.coordinate});
        return true;
    }

    // R<count>[X<step>][Y<step>]: the last hole again, <count> times, each
    // <step> further. The steps are relative in either mode.
    bool readRepeat(const std::vector<ExcellonWord>& words) {
        const long count = codeValue(words.front().number);
        if (count < 1 || count > kMaxRepeatCount) return refuse("a repeat code without a count from 1 to 100000");
        ParsedMove step;
        std::size_t end = 0;
        if (!readMove(words, 1, end, step)) return false;
        if (end != words.size()) return refuse("a repeat code with more than X and Y");
        if (!dependOnBoth()) return false;
        std::int64_t steps[2] = {0, 0};
        for (auto [value, text] : {std::pair<std::int64_t*, std::optional<std::string_view>>{&steps[0], step.x},
                                   {&steps[1], step.y}}) {
            if (!text) continue;
            const NumberReading number = readExcellonNumber(*text, settings_.format);
            if (!number.error.empty()) return refuse(number.error);
            if (number.value > kMaxValue / kMaxRepeatCount || number.value < -kMaxValue / kMaxRepeatCount)
                return refuse("a repeat step beyond the range of a drill file");
            *value = number.value;
        }
        // Every repeated hole is recorded, since a machine program drills each.
        const Axis baseX = x_;
        const Axis baseY = y_;
        const std::size_t holes = startCut(false);
        for (long k = 1; k <= count; ++k) {
            if ((step.x && !setAxis(x_, baseX.coordinate.value, steps[0] * k, baseX.style)) ||
                (step.y && !setAxis(y_, baseY.coordinate.value, steps[1] * k, baseY.style)))
                return false;
            file_.cuts[holes].points.push_back({x_.coordinate, y_.coordinate});
        }
        return true;
    }

    DrillFile file_;
    ExcellonSettings settings_;
    Section section_ = Section::Start;
    bool routing_ = false;
    bool coordinatesRead_ = false;  // the number format may no longer change
    std::optional<std::size_t> openRoute_;  // the route cut while the tool is down (M15 to M16)
    Axis x_;
    Axis y_;
    std::size_t index_ = 0;
    std::string reason_;
};

}  // namespace

DrillReading readExcellon(std::string_view content) { return ExcellonReader(content).read(); }

}  // namespace twcycle::drill
