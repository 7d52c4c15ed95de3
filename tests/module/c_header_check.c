/* Compiled as C: proves the public header is plain C. */
#include "twpntopt.h"

int twpntoptCHeaderCheck(void) {
    EventRecord record;
    HostRecord host;
    PointListCycle cycle;
    Parameter parameter;
    int32_t (TWCS_CALL *exec)(Cycle*, int32_t, char**, HostRecord*) = twCSexecCycle;
    (void)exec;
    record.kind = 1;
    host.first = 0;
    cycle.base.slots[0] = 0;
    parameter.next = 0;
    (void)host;
    (void)cycle;
    (void)parameter;
    return (int)sizeof(EventRecord) + (int)offsetof(EventRecord, text) + record.kind - 1;
}
