#include "source_check.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string_view>
#include <vector>

#include "exchange/contour_reading.h"
#include "exchange/coordinate_arguments.h"
#include "exchange/exchange_reader.h"
#include "twcycle/exit_status.h"
#include "input_path.h"
#include "job_settings.h"
#include "number_checks.h"
#include "placed_parameters.h"

namespace twcycle {
namespace {

constexpr char kDataEnd = 26;
constexpr std::size_t kNamedLostContours = 3;

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// The contour gathering of the module, counting only: a point counts where
// it stands directly in a contour body, and the body's end ends the contour.
struct Gathering {
    struct Contour {
        std::string name;
        std::size_t points = 0;
    };
    tw::ContourNesting nesting;
    Contour current;
    std::vector<Contour> ended;  // contours that ended with points

    void contour(const std::optional<std::string>& name) {
        current = Contour{name.value_or(""), 0};
        nesting.contourHeader();
    }
    void begin() { nesting.blockBegin(); }
    void end() {
        if (!nesting.blockEnd()) return;
        if (current.points > 0) ended.push_back(current);
        current.points = 0;
    }
    bool pointCounts() const { return nesting.inBody(); }
    void point() {
        if (pointCounts()) ++current.points;
    }
};

// Where the data stops early, and why.
struct Stop {
    std::size_t offset = 0;
    std::string why;
};

std::size_t skipSpaceAndComments(std::string_view text, std::size_t offset) {
    while (offset < text.size()) {
        if (isSpace(text[offset])) {
            ++offset;
        } else if (text[offset] == ';') {
            while (offset < text.size() && text[offset] != '\n' && text[offset] != '\r') ++offset;
        } else {
            break;
        }
    }
    return offset;
}

std::size_t nextLine(std::string_view text, std::size_t offset) {
    while (offset < text.size() && text[offset] != '\n' && text[offset] != '\r') ++offset;
    while (offset < text.size() && (text[offset] == '\n' || text[offset] == '\r')) ++offset;
    return offset;
}

std::size_t lineStart(std::string_view text, std::size_t offset) {
    while (offset > 0 && text[offset - 1] != '\n' && text[offset - 1] != '\r') --offset;
    return offset;
}

// Where to read on after the data stopped at `stop` in an item that began
// at `itemStart`: at the line of the stop when the item began on an earlier
// line (the stop's line may hold whole items), else at the next line.
std::size_t resumeAfter(std::string_view text, std::size_t itemStart, std::size_t stop) {
    if (stop < text.size() && text[stop] == kDataEnd) return stop + 1;
    const std::size_t line = lineStart(text, stop);
    return line > itemStart ? line : nextLine(text, stop);
}

std::string characterText(unsigned char c) {
    if (c >= 33 && c <= 126) return std::string("'") + static_cast<char>(c) + "'";
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "byte %u", static_cast<unsigned>(c));
    return buffer;
}

// After readExchangeToken gave 0: none when the data really ended, else
// where and why it stopped. `lastEnd` is the offset after the last item.
std::optional<Stop> findStop(std::string_view text, std::size_t lastEnd, long position) {
    const std::size_t rest = skipSpaceAndComments(text, lastEnd);
    if (rest >= text.size()) return std::nullopt;
    if (text[rest] == kDataEnd) {
        if (skipSpaceAndComments(text, rest + 1) >= text.size()) return std::nullopt;
        return Stop{rest, "a Ctrl-Z byte (26) ends the data here"};
    }
    const std::size_t at = position < 0 ? text.size() : static_cast<std::size_t>(position);
    if (at < text.size() && text[at] == kDataEnd) return Stop{at, "a Ctrl-Z byte (26) ends the data inside an item"};
    if (at >= text.size() || at == 0) return Stop{rest, "the item that begins here is not finished at the end of the file"};
    return Stop{at - 1, "syntax error: " + characterText(static_cast<unsigned char>(text[at - 1])) +
                            " is not allowed here"};
}

// True when the item at `offset` begins as a point object ('o', blanks, "P",
// then '[', '(' or whitespace).
bool brokenItemIsPoint(std::string_view text, std::size_t offset) {
    if (offset >= text.size() || text[offset] != 'o') return false;
    std::size_t i = skipSpaceAndComments(text, offset + 1);
    if (i >= text.size() || text[i] != 'P') return false;
    ++i;
    return i < text.size() && (text[i] == '[' || text[i] == '(' || isSpace(text[i]));
}

// The first-slot text a coordinate argument gives a point, or empty.
std::string_view firstSlot(const tw::ExchangeToken& token, std::string_view axis) {
    std::string_view value;
    bool seen = false;
    for (const tw::ExchangeArgument& argument : token.arguments) {
        if (!argument.name || *argument.name != axis) continue;
        seen = true;
        value = argument.value ? std::string_view(*argument.value) : std::string_view();
    }
    if (!seen || value.empty() || value.front() == '/') return {};
    return value.substr(0, value.find('/'));
}

class SourceScan {
public:
    SourceScan(const SourceCheck& check, std::string name, std::string text, Findings& findings)
        : check_(check), name_(std::move(name)), text_(std::move(text)), findings_(findings) {}

    void run(std::FILE* stream, bool hasHead);

private:
    FilePlace place(std::size_t offset) const { return placeOf(name_, text_, offset); }
    void take(const tw::ExchangeToken& token, std::size_t start, Gathering& gathering, bool checkValues);
    void checkPoint(const tw::ExchangeToken& token, std::size_t start);
    void reportStop(const Stop& stop, const Gathering& after, bool noItems, bool hasHead);
    void closeLimiters();

    const SourceCheck& check_;
    std::string name_;
    std::string text_;
    Findings& findings_;
    std::size_t points_ = 0;  // every counting point of the file, also after a stop
    FindingLimiter misread_, tooLong_, digitsLost_, notWritable_;
};

void SourceScan::take(const tw::ExchangeToken& token, std::size_t start, Gathering& gathering, bool checkValues) {
    switch (token.kind) {
        case '{':
            gathering.begin();
            break;
        case '}':
            gathering.end();
            break;
        case 'o':
            if (token.name == "Contour") {
                gathering.contour(token.text);
            } else if (token.name == "P") {
                if (gathering.pointCounts()) {
                    ++points_;
                    if (checkValues) checkPoint(token, start);
                }
                gathering.point();
            }
            break;
        default:
            break;
    }
}

void SourceScan::checkPoint(const tw::ExchangeToken& token, std::size_t start) {
    const std::string label = token.text ? "point " + *token.text + ": " : std::string("point: ");
    for (const char* axis : {"x", "y", "z"}) {
        const std::string_view text = firstSlot(token, axis);
        if (text.empty()) continue;
        const std::string shown = std::string(axis) + "[" + std::string(text) + "]";
        if (text.size() > tw::kCoordinateTextLength) {
            if (tooLong_.take())
                findings_.warn(place(start), label + shown + " is longer than " +
                                                 std::to_string(tw::kCoordinateTextLength) +
                                                 " characters and is not taken: the point repeats the previous " +
                                                 axis);
            continue;
        }
        const NumberReading reading = readNumber(text);
        const WriteForm written = writeForm(reading.value, check_.places);
        if (written == WriteForm::NotWritable) {
            if (notWritable_.take())
                findings_.error(kExitPointsLost, place(start),
                                label + shown + " cannot be written: the output would hold \"" +
                                    writtenText(reading.value, check_.places) + "\" for it");
            continue;
        }
        if (reading.form != NumberForm::Exact && misread_.take())
            findings_.warn(place(start), label + shown + " " + misreadText(text, reading));
        if (written == WriteForm::DigitsLost && digitsLost_.take())
            findings_.warn(place(start), label + shown + " has more digits than the output holds at " +
                                             std::to_string(check_.places) + " decimals: written as " +
                                             writtenText(reading.value, check_.places));
    }
}

std::string contourLabel(const Gathering::Contour& contour) {
    const std::string name = contour.name.empty() ? "(no name)" : "\"" + contour.name + "\"";
    return name + " (" + std::to_string(contour.points) + (contour.points == 1 ? " point)" : " points)");
}

void SourceScan::reportStop(const Stop& stop, const Gathering& after, bool noItems, bool hasHead) {
    if (noItems) {
        findings_.error(kExitMissingInput, place(stop.offset),
                        hasHead ? "the first item of this file breaks the format (" + stop.why +
                                      "): the module reads nothing of it"
                                : "this is not a data exchange file: it has no exchange-file head and its first "
                                  "item breaks the format (" + stop.why + ")");
        return;
    }
    // What the module never writes: the contour it is in (its points so
    // far included, since a contour is written only when it ends) and every
    // contour after the stop.
    std::vector<Gathering::Contour> lost = after.ended;
    if (after.nesting.level() >= 1 && after.current.points > 0) lost.push_back(after.current);
    std::size_t lostPoints = 0;
    for (const Gathering::Contour& contour : lost) lostPoints += contour.points;
    if (lostPoints == 0) {
        findings_.warn(place(stop.offset), stop.why + "; the module reads no further, but no point follows");
        return;
    }
    std::string names;
    for (std::size_t i = 0; i < lost.size() && i < kNamedLostContours; ++i)
        names += (i == 0 ? "" : ", ") + contourLabel(lost[i]);
    if (lost.size() > kNamedLostContours) names += " and " + std::to_string(lost.size() - kNamedLostContours) + " more";
    findings_.error(kExitPointsLost, place(stop.offset),
                    stop.why + "; the module reads no further, so " + std::to_string(lostPoints) + " of the " +
                        std::to_string(points_) + " points are not written, in " +
                        std::to_string(lost.size()) + (lost.size() == 1 ? " contour: " : " contours: ") + names);
}

void SourceScan::run(std::FILE* stream, bool hasHead) {
    Gathering gathering;
    tw::ExchangeToken token;
    std::size_t lastEnd = static_cast<std::size_t>(std::max(0L, std::ftell(stream)));
    std::size_t items = 0;
    std::optional<Stop> stop;
    for (;;) {
        const std::size_t start = skipSpaceAndComments(text_, lastEnd);
        if (tw::readExchangeToken(stream, token) == 1) {
            ++items;
            take(token, start, gathering, true);
            lastEnd = static_cast<std::size_t>(std::max(0L, std::ftell(stream)));
            continue;
        }
        stop = findStop(text_, lastEnd, std::ftell(stream));
        break;
    }
    tw::clearExchangeToken(token);
    if (!stop) {
        closeLimiters();
        if (gathering.ended.empty())
            findings_.warn(FilePlace{name_}, "the source holds no contour with points; the output will hold none");
        return;
    }
    // Read on past the stop, line by line, only to count what is lost. The
    // point whose item broke off is lost with the rest.
    Gathering after = gathering;
    after.ended.clear();
    if (after.pointCounts() && brokenItemIsPoint(text_, skipSpaceAndComments(text_, lastEnd))) {
        ++after.current.points;
        ++points_;
    }
    std::size_t resume = resumeAfter(text_, skipSpaceAndComments(text_, lastEnd), stop->offset);
    while (resume < text_.size() && std::fseek(stream, static_cast<long>(resume), SEEK_SET) == 0) {
        lastEnd = resume;
        for (;;) {
            const std::size_t start = skipSpaceAndComments(text_, lastEnd);
            if (tw::readExchangeToken(stream, token) != 1) break;
            take(token, start, after, false);
            lastEnd = static_cast<std::size_t>(std::max(0L, std::ftell(stream)));
        }
        const std::optional<Stop> next = findStop(text_, lastEnd, std::ftell(stream));
        if (!next) break;
        const std::size_t following = resumeAfter(text_, skipSpaceAndComments(text_, lastEnd), next->offset);
        if (following <= resume) break;
        resume = following;
    }
    tw::clearExchangeToken(token);
    closeLimiters();
    reportStop(*stop, after, items == 0, hasHead);
}

void SourceScan::closeLimiters() {
    const FilePlace file{name_};
    if (misread_.hidden() > 0)
        findings_.warn(file, std::to_string(misread_.hidden()) + " more point values are not entirely numbers");
    if (tooLong_.hidden() > 0)
        findings_.warn(file, std::to_string(tooLong_.hidden()) + " more point values are too long to be taken");
    if (digitsLost_.hidden() > 0)
        findings_.warn(file, std::to_string(digitsLost_.hidden()) + " more point values lose digits");
    if (notWritable_.hidden() > 0)
        findings_.error(kExitPointsLost, file,
                        std::to_string(notWritable_.hidden()) + " more point values cannot be written");
}

std::string readWhole(const std::string& path, bool& ok) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    ok = static_cast<bool>(file);
    if (ok) text << file.rdbuf();
    return text.str();
}

}  // namespace

void checkSource(const SourceCheck& check, Findings& findings) {
    const std::string name = literalFileName(check.geoSource);
    if (name == tw::kStandardInputName) return;
    const std::string quoted = "\"" + check.geoSource + "\"";
    const std::optional<std::string> resolved = resolvedInputPath(name);
    if (!resolved) {
        findings.error(kExitMissingInput, check.setAt,
                       "the geometry source " + quoted + " cannot be opened: a name beginning with '|' must be "
                       "\"| stdin\", and one beginning with '~' needs HOME");
        return;
    }
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(*resolved, error);
    if (!std::filesystem::exists(status)) {
        findings.error(kExitMissingInput, check.setAt, "the geometry source " + quoted + " does not exist");
        return;
    }
    if (std::filesystem::is_directory(status)) {
        findings.error(kExitMissingInput, check.setAt, "the geometry source " + quoted + " is a directory");
        return;
    }
    bool readable = false;
    std::string text = readWhole(*resolved, readable);
    tw::ExchangeHeader header;
    tw::ExchangeStream stream(readable ? tw::openExchangeFile(name, header) : nullptr);
    if (!readable) {
        findings.error(kExitMissingInput, check.setAt, "the geometry source " + quoted + " cannot be read");
        return;
    }
    if (!stream) {
        findings.error(kExitMissingInput, FilePlace{check.geoSource, 2},
                       "the reader refuses this file's head: only versions 0.x and 1.0 are read, so the module "
                       "reads no point of it");
        return;
    }
    SourceScan scan(check, check.geoSource, std::move(text), findings);
    scan.run(stream.get(), header.typeLine.has_value());
}

}  // namespace twcycle
