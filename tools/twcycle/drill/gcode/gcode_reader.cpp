#include "gcode_reader.h"

#include <algorithm>

#include "twcycle/drill/characters.h"

namespace twcycle::drill::gcode {
namespace {

constexpr std::int64_t kWordScale = 1000000000;
constexpr int kMaxWordIntegerDigits = 9;
constexpr int kMaxDecimals = 9;

bool isLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
char upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }
bool isBlankOrReturn(char c) { return c == ' ' || c == '\t' || c == '\r'; }

struct Word {
    char letter = 0;
    std::int64_t value = 0;  // units of 10^-9
    bool integer = true;     // no decimals
};

// One line taken apart: its words and its comments.
struct Block {
    std::vector<Word> words;
    std::vector<std::string_view> comments;
};

// Reads "[+-]digits[.digits]" at `at`; false when there is no number.
bool readNumber(std::string_view text, std::size_t& at, Word& word, std::string& error) {
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) negative = text[at++] == '-';
    int integerDigits = 0;
    int decimals = 0;
    std::int64_t whole = 0;
    std::int64_t part = 0;
    std::int64_t weight = kWordScale;
    bool point = false;
    for (; at < text.size(); ++at) {
        const char c = text[at];
        if (c == '.' && !point) {
            point = true;
        } else if (isDigit(c)) {
            if (point) {
                if (++decimals > kMaxDecimals) return error = "a number with more than 9 decimals", false;
                weight /= 10;
                part += (c - '0') * weight;
            } else {
                if (whole == 0 && c == '0') continue;
                if (++integerDigits > kMaxWordIntegerDigits) return error = "a number too large", false;
                whole = whole * 10 + (c - '0');
            }
        } else {
            break;
        }
    }
    word.value = whole * kWordScale + part;
    if (negative) word.value = -word.value;
    word.integer = part == 0;
    return true;
}

bool splitBlock(std::string_view text, Block& block, std::string& error) {
    std::size_t at = 0;
    while (at < text.size()) {
        const char c = text[at];
        if (isBlankOrReturn(c)) {
            ++at;
        } else if (c == '(') {
            const std::size_t close = text.find(')', at + 1);
            if (close == std::string_view::npos) return error = "a comment without ')'", false;
            const std::string_view comment = text.substr(at + 1, close - at - 1);
            if (comment.find('(') != std::string_view::npos) return error = "a comment inside a comment", false;
            block.comments.push_back(comment);
            at = close + 1;
        } else if (c == ';') {
            block.comments.push_back(text.substr(at + 1));
            at = text.size();
        } else if (isLetter(c)) {
            Word word;
            word.letter = upper(c);
            ++at;
            while (at < text.size() && isBlankOrReturn(text[at])) ++at;
            const std::size_t begin = at;
            if (!readNumber(text, at, word, error)) return false;
            const std::string_view number = text.substr(begin, at - begin);
            if (number.find_first_of("0123456789") == std::string_view::npos)
                return error = std::string("a word ") + word.letter + " without a number", false;
            block.words.push_back(word);
        } else {
            return error = "a character that is not part of a program", false;
        }
    }
    return true;
}

class ProgramReader {
public:
    ProgramReading read(std::string_view text) {
        std::size_t begin = 0;
        while (begin < text.size() && reading_.error.empty()) {
            std::size_t end = text.find('\n', begin);
            if (end == std::string_view::npos) end = text.size();
            ++line_;
            readLine(text.substr(begin, end - begin));
            begin = end + 1;
        }
        if (reading_.error.empty() && !reading_.ended) reading_.error = "the program has no end (M2 or M30)";
        return std::move(reading_);
    }

private:
    void fail(std::string reason) {
        if (reading_.error.empty()) reading_.error = "line " + std::to_string(line_) + ": " + reason;
    }

    void readLine(std::string_view text) {
        if (text.size() > kMaxProgramLine) return fail("a line longer than 1024 characters");
        while (!text.empty() && isBlankOrReturn(text.back())) text.remove_suffix(1);
        while (!text.empty() && isBlankOrReturn(text.front())) text.remove_prefix(1);
        if (text.empty() || text == "%") return;
        Block block;
        std::string error;
        if (!splitBlock(text, block, error)) return fail(error);
        if (reading_.ended) {
            if (block.words.empty()) return;
            return fail("a statement after the program's end");
        }
        execute(block);
    }

    const Word* find(const Block& block, char letter, std::size_t* count = nullptr) const {
        const Word* found = nullptr;
        std::size_t n = 0;
        for (const Word& word : block.words)
            if (word.letter == letter) {
                ++n;
                if (!found) found = &word;
            }
        if (count) *count = n;
        return found;
    }

    static long code(const Word& word) { return static_cast<long>(word.value / kWordScale); }

    void execute(const Block& block) {
        for (std::string_view comment : block.comments)
            if (const std::optional<long> tool = markedTool(comment)) {
                reading_.sectionTools.push_back(*tool);
                ++section_;
                tool_ = *tool;
            }
        bool end = false;
        bool change = false;
        bool pause = false;
        bool hasAxes = false;
        std::optional<long> motion;
        std::optional<std::int64_t> dwell;
        for (char letter : {'X', 'Y', 'Z', 'R', 'Q', 'F', 'S', 'T', 'P', 'N'}) {
            std::size_t n = 0;
            find(block, letter, &n);
            if (n > 1) return fail(std::string("a second ") + letter + " on one line");
        }
        for (const Word& word : block.words) {
            switch (word.letter) {
                case 'G':
                case 'M':
                    if (!word.integer || word.value < 0) return fail(std::string("a ") + word.letter + " code this reader does not know");
                    break;
                case 'X': case 'Y': case 'Z': case 'R': case 'Q':
                    hasAxes = hasAxes || word.letter == 'X' || word.letter == 'Y' || word.letter == 'Z';
                    break;
                case 'F': case 'S': case 'T': case 'P': case 'N':
                    break;
                default:
                    return fail(std::string("a word ") + word.letter + " this reader does not know");
            }
        }
        if (const Word* f = find(block, 'F')) feed_ = f->value;
        if (const Word* s = find(block, 'S')) speed_ = s->value;
        if (const Word* t = find(block, 'T')) {
            if (!t->integer || t->value < 0) return fail("a tool number that is not one");
            selected_ = code(*t);
        }
        for (const Word& word : block.words) {
            if (word.letter == 'M') {
                switch (code(word)) {
                    case 0: case 1: pause = true; break;
                    case 2: case 30: end = true; break;
                    case 3: case 4:
                        if (speed_ <= 0) return fail("the spindle turned on without a speed (S)");
                        spindle_ = true;
                        break;
                    case 5: spindle_ = false; break;
                    case 6: change = true; break;
                    case 8: case 9: break;
                    default: return fail("an M code this reader does not know");
                }
            } else if (word.letter == 'G') {
                switch (code(word)) {
                    case 0: case 1: case 81: case 83:
                        if (motion) return fail("two motions on one line");
                        motion = code(word);
                        break;
                    case 4: {
                        const Word* p = find(block, 'P');
                        if (!p || p->value < 0) return fail("a dwell (G4) without P seconds");
                        dwell = p->value;
                        break;
                    }
                    case 20: case 21:
                        reading_.inches = code(word) == 20;
                        if (!reading_.moves.empty()) reading_.unitBeforeMoves = false;
                        break;
                    case 91: return fail("incremental moves (G91), which this reader does not follow");
                    case 98: case 99: retractToInitial_ = code(word) == 98; break;
                    case 80: motion_ = -1; break;
                    case 17: case 40: case 49: case 90: case 94: break;
                    default: return fail("a G code this reader does not know");
                }
            }
        }
        if (change) {
            if (selected_ < 0) return fail("a tool change (M6) without a tool (T)");
            tool_ = selected_;
            spindle_ = false;
            position_.z.reset();  // the controller moves it, and the tool's length changes
        }
        if (pause) {
            spindle_ = false;     // the operator may stop it
            position_.z.reset();  // and change the tool
        }
        if (dwell) reading_.dwellSeconds += static_cast<double>(*dwell) / static_cast<double>(kWordScale);
        if (motion) {
            const bool enteringCycle = (*motion == 81 || *motion == 83) && motion_ != 81 && motion_ != 83;
            motion_ = *motion;
            if (enteringCycle) {
                if (!position_.z) return fail("a drilling cycle begun with the height unknown");
                initialZ_ = *position_.z;
            }
        }
        if (const Word* r = find(block, 'R')) cycleR_ = r->value;
        if (const Word* q = find(block, 'Q')) cycleQ_ = q->value;
        if (hasAxes && !dwell) {
            if (motion_ == 0 || motion_ == 1)
                straightMove(block, motion_ == 0);
            else if (motion_ == 81 || motion_ == 83)
                drillCycle(block);
            else
                return fail("coordinates without a motion (G0, G1, G81 or G83) in force");
        }
        if (end) reading_.ended = true;
    }

    ProgramPosition target(const Block& block) const {
        ProgramPosition to = position_;
        if (const Word* x = find(block, 'X')) to.x = x->value;
        if (const Word* y = find(block, 'Y')) to.y = y->value;
        return to;
    }

    void addMove(const ProgramPosition& to, bool rapid, bool cycle) {
        ProgramMove move;
        move.from = position_;
        move.to = to;
        move.rapid = rapid;
        move.cycle = cycle;
        move.spindle = spindle_;
        move.feed = feed_;
        move.tool = tool_;
        move.section = section_;
        move.line = line_;
        reading_.moves.push_back(move);
        position_ = to;
    }

    void straightMove(const Block& block, bool rapid) {
        if (!rapid && feed_ <= 0) return fail("a feed move (G1) without a feed (F)");
        ProgramPosition to = target(block);
        if (const Word* z = find(block, 'Z')) to.z = z->value;
        const bool vertical = to.x == position_.x && to.y == position_.y && to.x && to.y;
        if (!rapid && vertical && position_.z && to.z && *position_.z >= 0 && *to.z < 0)
            addPlunge(*to.x, *to.y, *to.z);
        addMove(to, rapid, false);
    }

    void addPlunge(std::int64_t x, std::int64_t y, std::int64_t bottom) {
        reading_.plunges.push_back({x, y, bottom, tool_, spindle_, section_, line_});
    }

    void verticalTo(std::int64_t z, bool rapid) {
        ProgramPosition to = position_;
        to.z = z;
        addMove(to, rapid, true);
    }

    void drillCycle(const Block& block) {
        if (const Word* z = find(block, 'Z')) cycleZ_ = z->value;
        if (!cycleZ_ || !cycleR_) return fail("a drilling cycle without Z and R");
        if (*cycleZ_ >= *cycleR_) return fail("a drilling cycle whose bottom (Z) is not below R");
        if (motion_ == 83 && (!cycleQ_ || *cycleQ_ <= 0)) return fail("a peck cycle (G83) without a peck (Q) above 0");
        if (feed_ <= 0) return fail("a drilling cycle without a feed (F)");
        const ProgramPosition to = target(block);
        if (!to.x || !to.y) return fail("a drilling cycle at a position not given");
        if (!position_.z) return fail("a drilling cycle with the height unknown");
        const std::int64_t bottom = *cycleZ_;
        const std::int64_t r = *cycleR_;
        if (motion_ == 83 && (r - bottom) / *cycleQ_ >= kMaxCyclePecks) return fail("a peck cycle with too many pecks");
        const std::int64_t clear = retractToInitial_ ? std::max(initialZ_, r) : r;
        if (*position_.z < r) verticalTo(r, true);
        ProgramPosition above = position_;
        above.x = to.x;
        above.y = to.y;
        addMove(above, true, true);
        if (*position_.z > r) verticalTo(r, true);
        addPlunge(*to.x, *to.y, bottom);
        if (motion_ == 81) {
            verticalTo(bottom, false);
        } else {
            for (std::int64_t depth = r; depth > bottom;) {
                const std::int64_t next = std::max(depth - *cycleQ_, bottom);
                if (depth < r) verticalTo(depth, true);
                verticalTo(next, false);
                if (next > bottom) verticalTo(r, true);
                depth = next;
            }
        }
        verticalTo(clear, true);
    }

    ProgramReading reading_;
    std::size_t line_ = 0;
    ProgramPosition position_;
    std::int64_t feed_ = 0;
    std::int64_t speed_ = 0;
    bool spindle_ = false;
    long selected_ = -1;
    long tool_ = -1;
    std::size_t section_ = 0;
    long motion_ = -1;
    bool retractToInitial_ = true;
    std::int64_t initialZ_ = 0;
    std::optional<std::int64_t> cycleZ_;
    std::optional<std::int64_t> cycleR_;
    std::optional<std::int64_t> cycleQ_;
};

}  // namespace

std::optional<long> markedTool(std::string_view comment) {
    constexpr std::string_view kMark = "tool ";
    if (comment.substr(0, kMark.size()) != kMark) return std::nullopt;
    comment.remove_prefix(kMark.size());
    if (comment.substr(0, 8) == "unnamed:") return -1;
    if (comment.empty() || comment.front() != 'T') return std::nullopt;
    long number = 0;
    std::size_t at = 1;
    for (; at < comment.size() && isDigit(comment[at]) && at <= 9; ++at) number = number * 10 + (comment[at] - '0');
    if (at == 1 || at >= comment.size() || comment[at] != ':') return std::nullopt;
    return number;
}

ProgramReading readProgram(std::string_view text) { return ProgramReader().read(text); }

}  // namespace twcycle::drill::gcode
