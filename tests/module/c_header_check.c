/* Compiled as C: proves the public header is plain C. */
#include "twpntopt.h"

int twpntoptCHeaderCheck(void) {
    EventRecord record;
    HostRecord host;
    PointListCycle cycle;
    Parameter parameter;
    /* Unevaluated: checks the prototypes without needing the module. */
    (void)sizeof(twCSexecCycle(0, 0, 0, 0) + twCSsetSignal(0, 0) + twCSgetSignal(0));
    (void)sizeof(twCSgetCycle());
    record.kind = 1;
    host.first = 0;
    cycle.base.slots[0] = 0;
    parameter.next = 0;
    (void)host;
    (void)cycle;
    (void)parameter;
    return (int)sizeof(EventRecord) + (int)offsetof(EventRecord, text) + record.kind - 1;
}
