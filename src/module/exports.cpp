// The four exported entry points. Each is a thin wrapper that never lets a
// C++ exception reach the host: anything thrown becomes the failure value.
#include "twpntopt.h"

#include "module/cycle_objects.h"
#include "module/exec_cycle.h"

extern "C" {

TWCS_EXPORT Cycle* TWCS_CALL twCSgetCycle(void) { return tw::moduleCycle(); }

TWCS_EXPORT int32_t TWCS_CALL twCSexecCycle(Cycle* cycle, int32_t argc, char** argv, HostRecord* host) {
    try {
        return tw::execCycle(cycle, argc, argv, host);
    } catch (...) {
        return 0;
    }
}

TWCS_EXPORT int32_t TWCS_CALL twCSsetSignal(Cycle* cycle, int32_t value) {
    Cycle* target = cycle != nullptr ? cycle : tw::moduleCycle();
    const int32_t previous = target->signal;
    target->signal = value;
    return previous;
}

TWCS_EXPORT int32_t TWCS_CALL twCSgetSignal(Cycle* cycle) {
    const Cycle* target = cycle != nullptr ? cycle : tw::moduleCycle();
    return target->signalState;
}

}  // extern "C"
