#include "result_file.h"

#include <charconv>
#include <memory>

#include "exchange/exchange_walker.h"
#include "framework/number_text.h"
#include "job_settings.h"

namespace twcycle {
namespace {

constexpr std::string_view kCountPrefix = "N=";
constexpr std::string_view kLengthPrefix = ";L=";
constexpr std::int32_t kNoHead = 2;

// Level as in the module's reading: -1 before the first contour, 0 at a
// contour header, 1 in its body, deeper in nested bodies.
struct ReadState {
    int level = -1;
    bool ordered = false;  // the current contour is an ordered one
    PointCarry carry;
    std::optional<double> startX;
    std::optional<double> startY;
    std::vector<ResultContour>* contours = nullptr;
};

ReadState& stateOf(void* context) { return *static_cast<ReadState*>(context); }

std::int32_t requireHead(const tw::ExchangeHeader& header) { return header.typeLine ? 1 : kNoHead; }

std::int32_t onValue(tw::ExchangeToken& token, tw::ValueDictionary* dictionary, void* context) {
    const std::string name = token.name.value_or("");
    const std::string text = token.text.value_or("");
    tw::setDictionaryValue(dictionary, name, text);
    ReadState& state = stateOf(context);
    if (!state.ordered || state.level != 1) return 1;
    if (name == "startX") state.startX = tw::leadingReal(text.c_str());
    if (name == "startY") state.startY = tw::leadingReal(text.c_str());
    if (state.startX && state.startY) state.contours->back().start = PlanePoint{*state.startX, *state.startY};
    return 1;
}

std::int32_t onBlockBegin(tw::ExchangeToken&, tw::ValueDictionary* dictionary, void* context) {
    tw::openDictionaryScope(dictionary);
    ReadState& state = stateOf(context);
    if (state.level >= 0) ++state.level;
    return 1;
}

std::int32_t onBlockEnd(tw::ExchangeToken&, tw::ValueDictionary* dictionary, void* context) {
    ReadState& state = stateOf(context);
    if (state.level >= 0 && --state.level == 0) state.ordered = false;
    tw::closeDictionaryScope(dictionary);
    return 1;
}

std::int32_t onContour(tw::ExchangeToken& token, tw::ValueDictionary*, void* context) {
    ReadState& state = stateOf(context);
    state.level = 0;
    state.ordered = false;
    state.startX.reset();
    state.startY.reset();
    for (const tw::ExchangeArgument& argument : token.arguments) {
        if (argument.name != "cmnt" || !argument.value) continue;
        ResultContour contour;
        if (!parseContourComment(*argument.value, contour.declaredCount, contour.lengthText)) continue;
        contour.name = token.text.value_or("");
        contour.length = tw::leadingReal(contour.lengthText.c_str());
        state.contours->push_back(std::move(contour));
        state.ordered = true;
        break;
    }
    return 1;
}

std::int32_t onPoint(tw::ExchangeToken& token, tw::ValueDictionary*, void* context) {
    ReadState& state = stateOf(context);
    const PlanePoint point = state.carry.take(token);
    if (state.ordered && state.level == 1) state.contours->back().points.push_back(point);
    return 1;
}

std::string checkCounts(const std::vector<ResultContour>& contours) {
    for (const ResultContour& contour : contours) {
        if (static_cast<std::size_t>(contour.declaredCount) == contour.points.size()) continue;
        return "contour \"" + contour.name + "\" holds " + std::to_string(contour.points.size()) +
               " points where its head says " + std::to_string(contour.declaredCount);
    }
    return {};
}

}  // namespace

bool parseContourComment(const std::string& comment, int& count, std::string& lengthText) {
    const std::string_view text(comment);
    if (text.substr(0, kCountPrefix.size()) != kCountPrefix) return false;
    const char* first = text.data() + kCountPrefix.size();
    const char* last = text.data() + text.size();
    int value = 0;
    const std::from_chars_result parsed = std::from_chars(first, last, value);
    if (parsed.ec != std::errc() || value < 0) return false;
    const std::string_view rest(parsed.ptr, static_cast<std::size_t>(last - parsed.ptr));
    if (rest.substr(0, kLengthPrefix.size()) != kLengthPrefix) return false;
    count = value;
    lengthText.assign(rest.substr(kLengthPrefix.size()));
    return true;
}

ResultReading readResultFile(const std::string& geoOut) {
    ResultReading reading;
    ReadState state;
    state.contours = &reading.contours;
    std::unique_ptr<tw::ExchangeWalker> walker = tw::createExchangeWalker(&state, onValue, onBlockBegin, onBlockEnd);
    if (!walker) {
        reading.error = "out of memory";
        return reading;
    }
    tw::addObjectHandler(walker.get(), "P", onPoint);
    tw::addObjectHandler(walker.get(), "Contour", onContour);
    const std::int32_t walked = tw::walkExchangeFile(literalFileName(geoOut), walker.get(), requireHead);
    tw::destroyExchangeWalker(std::move(walker));
    if (walked == 0) {
        reading.error = "it cannot be opened, or its head is not one of a data exchange file";
    } else if (walked == kNoHead) {
        reading.error = "it has no data exchange file head";
    } else {
        reading.error = checkCounts(reading.contours);
    }
    if (!reading.error.empty()) reading.contours.clear();
    return reading;
}

}  // namespace twcycle
