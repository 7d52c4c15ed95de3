#include "source_contours.h"

#include <memory>
#include <optional>

#include "exchange/exchange_walker.h"
#include "exchange/file_names.h"
#include "job_settings.h"

namespace twcycle {
namespace {

// Mirrors the module's contour reading: level -1 before the first contour,
// 0 at a contour header, one more per open block; the contour ends when its
// body closes (level back at 0), which also happens for the body of a later
// object that is no contour.
struct GatherState {
    int level = -1;
    std::optional<std::string> name;
    std::vector<PlanePoint> points;
    PointCarry carry;
    std::vector<SourceContour>* contours = nullptr;
};

GatherState& stateOf(void* context) { return *static_cast<GatherState*>(context); }

std::int32_t onBlockBegin(tw::ExchangeToken&, tw::ValueDictionary* dictionary, void* context) {
    tw::openDictionaryScope(dictionary);
    GatherState& state = stateOf(context);
    if (state.level >= 0) ++state.level;
    return 1;
}

std::int32_t onBlockEnd(tw::ExchangeToken&, tw::ValueDictionary* dictionary, void* context) {
    GatherState& state = stateOf(context);
    if (state.level >= 0) {
        --state.level;
        if (state.level == 0 && !state.points.empty()) {
            state.contours->push_back(SourceContour{state.name.value_or(""), std::move(state.points)});
            state.points.clear();
        }
    }
    tw::closeDictionaryScope(dictionary);
    return 1;
}

std::int32_t onContour(tw::ExchangeToken& token, tw::ValueDictionary*, void* context) {
    GatherState& state = stateOf(context);
    state.name = token.text;
    state.level = 0;
    state.points.clear();
    return 1;
}

std::int32_t onPoint(tw::ExchangeToken& token, tw::ValueDictionary*, void* context) {
    GatherState& state = stateOf(context);
    const PlanePoint point = state.carry.take(token);
    if (state.level == 1) state.points.push_back(point);
    return 1;
}

}  // namespace

SourceReading readSourceContours(const std::string& geoSource) {
    SourceReading reading;
    const std::string name = literalFileName(geoSource);
    if (name == tw::kStandardInputName) {
        reading.status = SourceStatus::StandardInput;
        return reading;
    }
    GatherState state;
    state.contours = &reading.contours;
    std::unique_ptr<tw::ExchangeWalker> walker = tw::createExchangeWalker(&state, nullptr, onBlockBegin, onBlockEnd);
    if (!walker) return reading;
    tw::addObjectHandler(walker.get(), "P", onPoint);
    tw::addObjectHandler(walker.get(), "Contour", onContour);
    const std::int32_t walked = tw::walkExchangeFile(name, walker.get(), tw::acceptEveryHead);
    tw::destroyExchangeWalker(std::move(walker));
    reading.status = walked == 0 ? SourceStatus::Unreadable : SourceStatus::Read;
    if (reading.status == SourceStatus::Unreadable) reading.contours.clear();
    return reading;
}

}  // namespace twcycle
