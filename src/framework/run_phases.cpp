#include "framework/run_phases.h"

#include <cstdlib>

#include "framework/channels.h"
#include "framework/event_record.h"
#include "framework/slots.h"
#include "settings/parameter_list.h"

namespace tw {
namespace {

struct SwitchStep {
    std::uint16_t bit;
    Slot slot;
    std::int32_t before;
    std::int32_t after;
    std::int32_t failure;
};

constexpr SwitchStep kSwitchSteps[] = {
    {kModeVersion, kOnSwitchV, 211, 219, 11},
    {kModeQuery, kOnSwitchQuery, 221, 229, 12},
    {kModeParameters, kDescribeParameters, 231, 239, 13},
    {kModeAlgorithm, kDescribeAlgorithm, 241, 249, 14},
    {kModeLayers, kDescribeLayers, 251, 259, 15},
    {kModeD, kOnSwitchD, 261, 269, 16},
};

struct NormalStep {
    std::int32_t before;
    std::int32_t after;
    std::int32_t failure;
};

// Calls `slot` between its two progress events; true when it succeeded.
bool runStep(Cycle* cycle, Slot slot, std::int32_t before, std::int32_t after) {
    raiseProgress(cycle, before);
    const bool ok = callSlot(cycle, slot) != 0;
    raiseProgress(cycle, after);
    return ok;
}

std::int32_t runNormal(Cycle* cycle) {
    raiseProgress(cycle, kBeforeInitialisation);
    callSlot(cycle, kInitCycle);
    if (cycle->embedded == 0) emitConfigurationRecords(cycle);
    raiseProgress(cycle, kAfterInitialisation);

    const Slot parametersSlot = cycle->cfgMode == 1 ? kReadCycleParametersCfg : kReadCycleParameters;
    if (!runStep(cycle, parametersSlot, kBeforeCycleParameters, kAfterCycleParameters))
        return kResultCycleParameters;
    if (!runStep(cycle, kPrepareCycle, kBeforePrepare, kAfterPrepare)) return kResultPrepare;
    if (!runStep(cycle, kStartCycle, kBeforeStart, kAfterStart)) return kResultStart;
    if (!runStep(cycle, kCompleteCycle, kBeforeComplete, kAfterComplete)) return kResultComplete;
    return kResultOk;
}

std::int32_t runSwitches(Cycle* cycle) {
    for (const SwitchStep& step : kSwitchSteps) {
        if ((cycle->runMode & step.bit) == 0) continue;
        if (!runStep(cycle, step.slot, step.before, step.after)) return step.failure;
    }
    return kResultOk;
}

}  // namespace

std::int32_t runPhases(Cycle* cycle) {
    std::int32_t code = kResultOk;
    if ((cycle->runMode & kSwitchBits) == 0) {
        code = runNormal(cycle);
        const bool finished = runStep(cycle, kFinishCycle, kBeforeFinish, kAfterFinish);
        if (!finished && code == kResultOk) code = kResultFinish;
    } else {
        code = runSwitches(cycle);
    }
    releaseRun(cycle);
    return code;
}

void releaseRun(Cycle* cycle) {
    raiseProgress(cycle, kBeforeRelease);
    discardRunCollections(cycle);
    raiseProgress(cycle, kAfterRelease);
}

void discardRunCollections(Cycle* cycle) {
    if (cycle->parameterFiles != nullptr) {
        for (std::uint16_t i = 0; i < cycle->parameterFileCount; ++i) std::free(cycle->parameterFiles[i]);
        std::free(cycle->parameterFiles);
    }
    cycle->parameterFiles = nullptr;
    cycle->parameterFileCount = 0;
    std::free(cycle->settingsSource);
    cycle->settingsSource = nullptr;
    freeParameters(cycle->parameters);
    cycle->parameters = nullptr;
    freeParameters(cycle->cfgEntries);
    cycle->cfgEntries = nullptr;
}

void emitParameterRecords(Cycle* cycle) {
    for (const Parameter* node = cycle->parameters; node != nullptr; node = node->next) {
        if (node->name == nullptr || node->value == nullptr) continue;
        const bool definition = node->level < 21;
        EventRecord record = makeRecord(definition ? 202 : 201, definition ? "def" : "call");
        formatRecordText(record, "\"%s\":=\"%s\"", node->name, node->value);
        emitRecord(cycle, 1, &record);
    }
}

void emitConfigurationRecords(Cycle* cycle) {
    EventRecord source = makeRecord(112, "cfgSource");
    setRecordText(source, cycle->settingsSource);
    emitRecord(cycle, 0, &source);

    emitParameterRecords(cycle);

    for (const Parameter* node = cycle->cfgEntries; node != nullptr; node = node->next) {
        EventRecord record = makeRecord(204, "cfg");
        if (node->value != nullptr && node->value[0] != '\0')
            formatRecordText(record, "%s %s", node->name, node->value);
        else
            formatRecordText(record, "%s", node->name);
        emitRecord(cycle, 1, &record);
    }
}

}  // namespace tw
