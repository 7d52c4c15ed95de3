#include "optimizer/contour_processing.h"

#include <memory>

#include "exchange/coordinate_arguments.h"
#include "exchange/exchange_walker.h"
#include "exchange/value_dictionary.h"
#include "framework/number_text.h"
#include "optimizer/contour_output.h"
#include "optimizer/path_optimizer.h"

namespace tw {
namespace {

ContourReadState& stateOf(void* context) { return *static_cast<ContourReadState*>(context); }

std::int32_t onValue(ExchangeToken& token, ValueDictionary* dictionary, void* context) {
    const std::string name = token.name.value_or("");
    const std::string text = token.text.value_or("");
    setDictionaryValue(dictionary, name, text);
    PointListCycle& cycle = *stateOf(context).cycle;
    if (name == "depth") {
        cycle.depth = leadingReal(text.c_str());
        cycle.depthSeen = 1;
    } else if (name == "startX") {
        cycle.startX = leadingReal(text.c_str());
    } else if (name == "startY") {
        cycle.startY = leadingReal(text.c_str());
    } else if (name == "surface") {
        cycle.surface = leadingReal(text.c_str());
        cycle.surfaceSeen = 1;
    }
    return 1;
}

std::int32_t onBlockBegin(ExchangeToken&, ValueDictionary* dictionary, void* context) {
    openDictionaryScope(dictionary);
    ContourReadState& state = stateOf(context);
    if (state.level >= 0) ++state.level;
    return 1;
}

std::int32_t onBlockEnd(ExchangeToken&, ValueDictionary* dictionary, void* context) {
    ContourReadState& state = stateOf(context);
    if (state.level >= 0) {
        --state.level;
        if (state.level == 0 && dictionary != nullptr) finishContour(state, *dictionary);
    }
    closeDictionaryScope(dictionary);
    return 1;
}

std::int32_t onContour(ExchangeToken& token, ValueDictionary*, void* context) {
    ContourReadState& state = stateOf(context);
    // The previous name goes back into the token, which releases it.
    std::swap(state.contourName, token.text);
    state.level = 0;
    state.pointCount = 0;
    return 1;
}

std::int32_t onPoint(ExchangeToken& token, ValueDictionary*, void* context) {
    ContourReadState& state = stateOf(context);
    CoordinateTexts record{};
    readCoordinateArguments(record, token);
    std::string* last[3] = {&state.lastX, &state.lastY, &state.lastZ};
    for (int axis = 0; axis < 3; ++axis) {
        const std::string_view text = coordinateText(record.slots[0][axis]);
        if (!text.empty()) last[axis]->assign(text);
    }
    if (state.level != 1) return 1;
    PointListCycle& cycle = *state.cycle;
    const std::string name = token.text.value_or("");
    if (optimizerAddPoint(cycle.optimizer, name.c_str(), leadingReal(state.lastX.c_str()),
                          leadingReal(state.lastY.c_str()), leadingReal(state.lastZ.c_str()), cycle.surface,
                          cycle.depth) == 1)
        ++state.pointCount;
    return 1;
}

}  // namespace

void processContours(Cycle* base) {
    PointListCycle& cycle = *reinterpret_cast<PointListCycle*>(base);
    if (cycle.workingFileName == nullptr) return;
    ContourReadState state;
    state.cycle = &cycle;
    state.writePath = cycle.writePath;
    std::unique_ptr<ExchangeWalker> walker = createExchangeWalker(&state, onValue, onBlockBegin, onBlockEnd);
    if (!walker) return;
    addObjectHandler(walker.get(), "P", onPoint);
    addObjectHandler(walker.get(), "Contour", onContour);
    walkExchangeFile(cycle.workingFileName, walker.get(), acceptEveryHead);
    destroyExchangeWalker(std::move(walker));
}

}  // namespace tw
