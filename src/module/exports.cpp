// The four exported entry points. Each is a thin wrapper that never lets a
// C++ exception reach the host: anything thrown becomes the failure value.
#include "twpntopt.h"

#include <atomic>

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

// The signal words are the one thing a host may touch from any thread at any
// time, a run in progress included (to ask it to stop, say): they are read
// and written atomically and never wait for the run lock.
TWCS_EXPORT int32_t TWCS_CALL twCSsetSignal(Cycle* cycle, int32_t value) {
    Cycle* target = cycle != nullptr ? cycle : tw::moduleCycle();
    return std::atomic_ref<int32_t>(target->signal).exchange(value);
}

TWCS_EXPORT int32_t TWCS_CALL twCSgetSignal(Cycle* cycle) {
    Cycle* target = cycle != nullptr ? cycle : tw::moduleCycle();
    return std::atomic_ref<int32_t>(target->signalState).load();
}

}  // extern "C"
