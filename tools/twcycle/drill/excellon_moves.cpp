// The lines of an Excellon body that move: holes, routes, slots, repeat
// codes, zero sets and pattern repeats (see excellon_reader_state.h).
#include "excellon_reader_state.h"

namespace twcycle::drill::excellon {

NumberFormat Reader::numberFormat() const { return settled_ ? *settled_ : settings_.format; }

bool Reader::readNumber(std::string_view text, NumberReading& number) {
    std::string_view digits = text;
    if (!digits.empty() && (digits.front() == '+' || digits.front() == '-')) digits.remove_prefix(1);
    if (digits.find('.') == std::string_view::npos) {
        if (!isCode(digits)) return refuse("a number that is not one");
        if (digits.size() > kMaxImpliedDigits) return refuse("a number with more than 18 digits");
        if (pass_ == Pass::Survey) {
            // Only what the digits show counts here; the values come in the second pass.
            numbers_.format = settings_.format;
            numbers_.digitsGiven = settings_.digitsGiven;
            survey_.add(digits, index_, numbers_);
            number = NumberReading{};
            return true;
        }
    }
    number = readExcellonNumber(text, numberFormat());
    if (!number.error.empty()) return refuse(number.error);
    return true;
}

// Reads the X and Y words of `words` from `begin` up to a word of another
// letter (returned in `end`); each at most once.
bool Reader::readMove(const std::vector<ExcellonWord>& words, std::size_t begin, std::size_t& end, ParsedMove& move) {
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
bool Reader::moveAxis(Axis& axis, const std::optional<std::string_view>& text) {
    coordinatesRead_ = true;
    if (!text && !settings_.incremental) return true;
    NumberReading number{};
    if (text && !readNumber(*text, number)) return false;
    if (!settings_.incremental) {
        axis.coordinate = Coordinate{std::string(*text), number.value};
        axis.style = number.style;
        axis.setter = static_cast<std::ptrdiff_t>(index_);
        return true;
    }
    if (positionUnknown_ && axis.setter < 0)
        return refuse("an incremental move from a position no earlier line gives (after a zero set or a pattern repeat)");
    const NumberStyle style = text ? number.style : axis.style;
    return setAxis(axis, axis.coordinate.value, number.value, style);
}

// Sets `axis` to `base + step`, written in `style`.
bool Reader::setAxis(Axis& axis, std::int64_t base, std::int64_t step, const NumberStyle& style) {
    const std::int64_t value = base + step;
    if (step > kMaxValue || step < -kMaxValue || value > kMaxValue || value < -kMaxValue)
        return refuse("a coordinate beyond the range of a drill file");
    const std::optional<std::string> text = writeExcellonNumber(value, style, numberFormat());
    if (!text)
        return refuse("an absolute coordinate the file's number format cannot write (--digits I.D with more digits "
                      "writes it)");
    axis.coordinate = Coordinate{*text, value};
    axis.style = style;
    axis.setter = static_cast<std::ptrdiff_t>(index_);
    return true;
}

bool Reader::readHole(const std::vector<ExcellonWord>& words) {
    ParsedMove move;
    std::size_t end = 0;
    if (!readMove(words, 0, end, move)) return false;
    if (end != words.size()) return refuse("a hole with more than X and Y");
    if (!settings_.incremental) {
        if (!move.x && x_.setter < 0) return refuse("a hole without X, and no earlier X to repeat");
        if (!move.y && y_.setter < 0) return refuse("a hole without Y, and no earlier Y to repeat");
    }
    if (!moveAxis(x_, move.x) || !moveAxis(y_, move.y)) return false;
    if (file_.blocks.empty() || (wallPending_ && !file_.blocks.back().holes.empty())) {
        const bool afterWall = wallPending_;
        selectTool(file_.blocks.empty() ? std::string() : file_.blocks.back().tool);
        if (afterWall) file_.blocks.back().line = wallLine_;
    }
    wallPending_ = false;
    Hole hole;
    hole.line = index_;
    hole.block = file_.blocks.size() - 1;
    hole.x = x_.coordinate;
    hole.y = y_.coordinate;
    hole.x.value += offsetX_;  // both within kMaxValue: no overflow
    hole.y.value += offsetY_;
    hole.verbatim = move.x && move.y && !settings_.incremental;
    hole.pinned = inPattern_;  // a pattern is drilled again where it is repeated
    file_.lines[index_].hole = static_cast<std::ptrdiff_t>(file_.holes.size());
    file_.blocks.back().holes.push_back(file_.holes.size());
    file_.holes.push_back(std::move(hole));
    return true;
}

bool Reader::requireAbsolute() {
    if (settings_.incremental)
        return refuse("routing or a slot in incremental mode (G91), which this reader does not support");
    return true;
}

// The line uses the current position: the holes from the lines that set it
// up to here stay where they are, so that the position stays the same.
bool Reader::dependOn(const Axis& axis) {
    if (axis.setter < 0) return refuse("a move from a position no earlier line gives");
    for (std::size_t line = static_cast<std::size_t>(axis.setter); line < index_; ++line)
        if (file_.lines[line].hole >= 0) file_.holes[static_cast<std::size_t>(file_.lines[line].hole)].pinned = true;
    return true;
}

bool Reader::dependOnBoth() { return dependOn(x_) && dependOn(y_); }

// G00..G03 and moves in route mode: kept in place; a cutting move starts
// where the route stands, a rapid move only takes what it leaves out.
bool Reader::readRouteMove(const std::vector<ExcellonWord>& words, bool cutting) {
    if (!requireAbsolute()) return false;
    wall();
    const std::size_t begin = words.front().letter == 'G' ? 1 : 0;
    ParsedMove move;
    std::size_t end = 0;
    if (!readMove(words, begin, end, move)) return false;
    for (std::size_t i = end; i < words.size(); ++i) {
        const char letter = words[i].letter;
        const bool arc = letter == 'A' || letter == 'I' || letter == 'J';
        if ((!arc && letter != 'F' && letter != 'S') || words[i].number.empty())
            return refuse("a route move with a word this reader does not know");
        NumberReading ignored;
        if (arc && !readNumber(words[i].number, ignored)) return false;
    }
    if (cutting && !dependOnBoth()) return false;
    if (!cutting && ((!move.x && !dependOn(x_)) || (!move.y && !dependOn(y_)))) return false;
    routing_ = true;
    if (!moveAxis(x_, move.x) || !moveAxis(y_, move.y)) return false;
    if (openRoute_) {
        DrillCut& route = file_.cuts[*openRoute_];
        route.points.push_back(cutPoint());
        const long code = words.front().letter == 'G' ? codeValue(words.front().number) : -1;
        if (code == 2 || code == 3 || end < words.size()) route.arc = true;
    }
    return true;
}

// A new cut in the current block, from the current position. The wall
// before it stays pending: holes after the cut still start a new block.
std::size_t Reader::startCut(bool milled) {
    if (file_.blocks.empty()) {
        selectTool("");
        wallPending_ = true;
    }
    DrillCut cut;
    cut.line = index_;
    cut.block = file_.blocks.size() - 1;
    cut.milled = milled;
    if (milled) cut.points.push_back(cutPoint());
    file_.cuts.push_back(std::move(cut));
    return file_.cuts.size() - 1;
}

// The current position as a cut point, with any zero set applied.
DrillCut::Point Reader::cutPoint() const {
    DrillCut::Point point{x_.coordinate, y_.coordinate};
    point.x.value += offsetX_;
    point.y.value += offsetY_;
    return point;
}

// [X..][Y..]G85[X..][Y..]: a slot from the first point (what it leaves out
// comes from the current position) to the second (what it leaves out comes
// from the first point).
bool Reader::readSlot(const std::vector<ExcellonWord>& words) {
    if (!requireAbsolute()) return false;
    wall();
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
    file_.cuts[slot].points.push_back(cutPoint());
    return true;
}

// R<count>[X<step>][Y<step>]: the last hole again, <count> times, each
// <step> further. The steps are relative in either mode.
bool Reader::readRepeat(const std::vector<ExcellonWord>& words) {
    wall();
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
        coordinatesRead_ = true;
        NumberReading number;
        if (!readNumber(*text, number)) return false;
        if (number.value > kMaxValue / kMaxRepeatCount || number.value < -kMaxValue / kMaxRepeatCount)
            return refuse("a repeat step beyond the range of a drill file");
        *value = number.value;
    }
    // Every repeated hole is recorded: a machine program drills each. The
    // first pass reads no values, so it records nothing.
    const Axis baseX = x_;
    const Axis baseY = y_;
    const bool record = pass_ == Pass::Read;
    const std::size_t holes = record ? startCut(false) : 0;
    for (long k = record ? 1 : count; k <= count; ++k) {
        if ((step.x && !setAxis(x_, baseX.coordinate.value, steps[0] * k, baseX.style)) ||
            (step.y && !setAxis(y_, baseY.coordinate.value, steps[1] * k, baseY.style)))
            return false;
        if (record) file_.cuts[holes].points.push_back(cutPoint());
    }
    return true;
}

// G93X#Y# (or G92): the positions after it are the text plus this zero.
// The holes on either side stay on their side, and a position given before
// it is not taken over.
bool Reader::readZeroSet(const std::vector<ExcellonWord>& words) {
    if (settings_.incremental) return refuse("a zero set (G93) in incremental mode (G91), which this reader does not support");
    wall();
    ParsedMove zero;
    std::size_t end = 0;
    if (!readMove(words, 1, end, zero)) return false;
    if (end != words.size()) return refuse("a zero set (G93) with more than X and Y");
    bool moves = false;
    for (auto [offset, text] : {std::pair<std::int64_t*, std::optional<std::string_view>>{&offsetX_, zero.x},
                                {&offsetY_, zero.y}}) {
        if (!text) continue;
        coordinatesRead_ = true;
        NumberReading number;
        if (!readNumber(*text, number)) return false;
        *offset = number.value;
        // Told by the digits, so that both passes agree (the first reads no values).
        moves = moves || text->find_first_of("123456789") != std::string_view::npos;
    }
    // The program position changed; what holes leave out must come after it.
    zeroMoved_ = zeroMoved_ || moves;
    if (zeroMoved_) {
        x_ = Axis{};
        y_ = Axis{};
        positionUnknown_ = true;
    }
    return true;
}

// [R#]M02X#Y#[M70|M80|M90]: the pattern (M25 .. M01) drilled again, moved;
// its holes stay where they are (pinned when read).
bool Reader::readPatternRepeat(const std::vector<ExcellonWord>& words, std::size_t begin) {
    if (!patternSeen_ || inPattern_) return refuse("a pattern repeat (M02) without a pattern (M25 .. M01) before it");
    if (begin == 1) {
        const long count = codeValue(words.front().number);
        if (count < 1 || count > kMaxRepeatCount) return refuse("a repeat code without a count from 1 to 100000");
    }
    wall();
    ParsedMove offset;
    std::size_t end = 0;
    if (!readMove(words, begin + 1, end, offset)) return false;
    for (std::size_t i = end; i < words.size(); ++i) {
        const long code = codeValue(words[i].number);
        if (words[i].letter != 'M' || (code != 70 && code != 80 && code != 90))
            return refuse("a pattern repeat (M02) with a word this reader does not know");
    }
    for (const std::optional<std::string_view>& text : {offset.x, offset.y}) {
        if (!text) continue;
        coordinatesRead_ = true;
        NumberReading number;
        if (!readNumber(*text, number)) return false;
    }
    if (!file_.patternRepeat) file_.patternRepeat = index_;
    x_ = Axis{};
    y_ = Axis{};
    positionUnknown_ = true;
    return true;
}

}  // namespace twcycle::drill::excellon
