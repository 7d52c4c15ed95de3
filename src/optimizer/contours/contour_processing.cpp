#include "optimizer/contours/contour_processing.h"

#include <utility>

#include "exchange/contour_reading.h"
#include "text/number_text.h"
#include "optimizer/contours/contour_output.h"
#include "optimizer/path_optimizer.h"

namespace tw {
namespace {

// Gathers each contour into the optimizer and writes it when its body ends.
class CycleContours : public ContourVisitor {
public:
    explicit CycleContours(ContourReadState& state) : state_(state) {}

    void value(const std::string& name, const std::string& text, const ContourNesting&) override {
        PointListCycle& cycle = *state_.cycle;
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
    }

    void contourHeader(ExchangeToken& token) override {
        // The previous name goes back into the token, which releases it.
        std::swap(state_.contourName, token.text);
        state_.pointCount = 0;
    }

    void point(ExchangeToken& token, const CoordinateCarry& carry) override {
        PointListCycle& cycle = *state_.cycle;
        const std::string name = token.text.value_or("");
        if (optimizerAddPoint(cycle.optimizer, name.c_str(), carry.value(0), carry.value(1), carry.value(2),
                              cycle.surface, cycle.depth) == 1)
            ++state_.pointCount;
    }

    void contourEnd(const ValueDictionary& dictionary) override { finishContour(state_, dictionary); }

private:
    ContourReadState& state_;
};

}  // namespace

void processContours(Cycle* base) {
    PointListCycle& cycle = *reinterpret_cast<PointListCycle*>(base);
    if (cycle.workingFileName == nullptr) return;
    ContourReadState state;
    state.cycle = &cycle;
    state.writePath = cycle.writePath;
    CycleContours contours(state);
    readContours(cycle.workingFileName, contours, acceptEveryHead);
}

}  // namespace tw
