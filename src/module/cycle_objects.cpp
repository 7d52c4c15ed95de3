#include "module/cycle_objects.h"

#include "cycle/point_list_cycle.h"
#include "framework/kernel_slots.h"
#include "framework/slots.h"
#include "settings/configuration.h"
#include "settings/message_topics.h"

namespace tw {
namespace {

constexpr void setIdentity(double (&matrix)[16]) {
    for (int i = 0; i < 16; ++i) matrix[i] = (i % 5 == 0) ? 1.0 : 0.0;
}

constexpr Cycle makeKernelCycle() {
    Cycle cycle{};
    cycle.interfaceVersion = kInterfaceVersion;
    cycle.cycleNumber = 1;
    cycle.versionMajor = 5;
    cycle.versionMinor = 0;
    cycle.versionYear = 1999;
    cycle.versionMonth = 3;
    cycle.versionDay = 25;
    cycle.title = "Zyklenkern";
    cycle.firstEmissionPending = 1;
    setIdentity(cycle.frame);
    setIdentity(cycle.toolFrame);
    setIdentity(cycle.localFrame);
    cycle.slots[kReadParameterFiles] = succeed;
    cycle.slots[kInitCycle] = succeed;
    cycle.slots[kReadSettings] = readSettings;
    cycle.slots[kReadCfgSettings] = readCfgSettings;
    cycle.slots[kOnSwitchV] = succeed;
    cycle.slots[kOnSwitchQuery] = succeed;
    cycle.slots[kDescribeParameters] = describeParameters;
    cycle.slots[kDescribeAlgorithm] = describeAlgorithm;
    cycle.slots[kDescribeLayers] = describeLayers;
    cycle.slots[kOnSwitchD] = succeed;
    cycle.slots[kReadCycleParameters] = succeed;
    cycle.slots[kReadCycleParametersCfg] = succeed;
    cycle.slots[kPrepareCycle] = succeed;
    cycle.slots[kStartCycle] = succeed;
    cycle.slots[kCompleteCycle] = succeed;
    cycle.slots[kFinishCycle] = finishCycle;
    return cycle;
}

Cycle kernel = makeKernelCycle();

PointListCycle makePointListCycle() {
    PointListCycle cycle{};
    Cycle& base = cycle.base;
    base.parent = &kernel;
    base.interfaceVersion = kInterfaceVersion;
    base.cycleNumber = 341;
    base.versionMajor = 9;
    base.versionMinor = 50;
    base.versionYear = 2008;
    base.versionMonth = 1;
    base.versionDay = 21;
    base.title = "tarnWELL Path Optimizer (Point Lists)";
    base.identifier = "twPntOpt";
    base.firstEmissionPending = 1;
    setIdentity(base.frame);
    setIdentity(base.toolFrame);
    setIdentity(base.localFrame);
    base.slots[kReadParameterFiles] = readParameterFiles;
    base.slots[kInitCycle] = initCycle;
    base.slots[kOnSwitchD] = onSwitchD;
    base.slots[kReadCycleParameters] = readCycleParameters;
    base.slots[kReadCycleParametersCfg] = readCycleParametersCfg;
    base.slots[kPrepareCycle] = prepareCycle;
    base.slots[kStartCycle] = startCycle;
    base.slots[kCompleteCycle] = completeCycle;
    cycle.algorithm = 3;
    cycle.removeWorkingFile = 1;
    return cycle;
}

PointListCycle module = makePointListCycle();

}  // namespace

Cycle* kernelCycle() { return &kernel; }
PointListCycle* pointListCycle() { return &module; }

}  // namespace tw
