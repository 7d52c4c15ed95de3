/*
 * twpntopt.h - public C interface of the "twPntOpt" cycle module
 * ("tarnWELL Path Optimizer (Point Lists)").
 *
 * A machining host loads the module (libtwpntopt.so, twPntOpt.dll) and drives
 * it through the four exported functions at the end of this header. Everything
 * here is plain C so that any host can use it.
 *
 * Ownership:
 *  - The cycle objects are static and live as long as the module; the host
 *    never frees them.
 *  - Parameter lists, texts and channels inside a Cycle belong to the module;
 *    the host may read them during a hook call but must not free or keep them.
 *  - EventRecord buffers belong to whoever emits them; a handler or host hook
 *    reads the record only during its call.
 *  - The HostRecord belongs to the host and must stay valid for the whole
 *    twCSexecCycle call it was passed to.
 *
 * Calling convention: every function pointer and export uses TWCS_CALL, which
 * is cdecl (the compiler default) on 32-bit Windows and empty elsewhere.
 */
#ifndef TWPNTOPT_H
#define TWPNTOPT_H

#include <stddef.h>
#include <stdint.h>

#if defined(_WIN32)
#define TWCS_CALL __cdecl
#if defined(TWPNTOPT_BUILDING_MODULE)
#define TWCS_EXPORT __declspec(dllexport)
#else
#define TWCS_EXPORT
#endif
#else
#define TWCS_CALL
#if defined(TWPNTOPT_BUILDING_MODULE)
#define TWCS_EXPORT __attribute__((visibility("default")))
#else
#define TWCS_EXPORT
#endif
#endif

#ifdef __cplusplus
extern "C" {
#endif

typedef struct Cycle Cycle;
typedef struct EventRecord EventRecord;

/* One named setting. Lists are passed as their first node; `name` and
 * `value` are owned by the list (allocated with malloc). */
typedef struct Parameter {
    char* name;
    char* value;
    uint16_t level;
    struct Parameter* next;
} Parameter;

/* Number of operation slots of a cycle. */
#define TWCS_SLOT_COUNT 16

/* An operation slot: takes the cycle, returns non-zero for success. */
typedef int32_t(TWCS_CALL* CycleSlot)(Cycle* cycle);

/* Progress handler installed for the duration of a run. */
typedef void(TWCS_CALL* ProgressHandler)(Cycle* cycle, int32_t event, void* context);

/* Channel handler: receives every record emitted on its channel. */
typedef int32_t(TWCS_CALL* ChannelHandler)(Cycle* cycle, EventRecord* record);

/* Hook hung behind a channel handler; its result is ignored. */
typedef int32_t(TWCS_CALL* ChannelHook)(Cycle* cycle, EventRecord* record, void* context);

/* Host function relayed from the channels; returns 0 for failure. */
typedef int32_t(TWCS_CALL* HostFunction)(Cycle* cycle, int32_t channel, EventRecord* record,
                                         void* context);

/* A registered event channel (internal layout, opaque to hosts). */
struct EventChannel;

/* The path optimizer object (internal layout, opaque to hosts). */
struct PathOptimizer;

/* Framework part of a cycle object. Fields stay in this order: hosts and
 * derived cycles rely on the layout. */
struct Cycle {
    Cycle* parent;
    int32_t slotsInherited;
    uint16_t interfaceVersion;
    int32_t cycleNumber;
    uint16_t versionMajor;
    uint16_t versionMinor;
    uint16_t versionYear;
    uint16_t versionMonth;
    uint16_t versionDay;
    const char* title;
    const char* identifier;
    char** parameterFiles;
    uint16_t parameterFileCount;
    char* settingsSource;
    uint16_t runMode;
    uint16_t messageLevel;
    int32_t pcfMode;
    int32_t firstEmissionPending;
    struct EventChannel* channels;
    Parameter* parameters;
    int32_t cfgMode;
    Parameter* cfgEntries;
    double frame[16];
    double toolFrame[16];
    CycleSlot slots[TWCS_SLOT_COUNT];
    ProgressHandler eventHandler;
    void* eventContext;
    int32_t signal;
    int32_t signalState;
    int32_t embedded;
    double localFrame[16];
};

/* The point-list optimizer's cycle: the framework part followed by the
 * fields of this module's own cycle procedure. */
typedef struct PointListCycle {
    Cycle base;
    char* sourceFileName;
    char* workingFileName;
    char* outputFileName;
    double startX;
    double startY;
    double surface;
    double depth;
    int32_t surfaceSeen;
    int32_t depthSeen;
    int32_t algorithm;
    struct PathOptimizer* optimizer;
    int32_t writePath;
    int32_t removeWorkingFile;
} PointListCycle;

/* Sizes of the two text fields of an EventRecord, terminator included. */
#define TWCS_RECORD_NAME_SIZE 256
#define TWCS_RECORD_TEXT_SIZE 520

/* Every record a cycle produces; 784 bytes, passed by address. */
struct EventRecord {
    int32_t kind;
    int32_t reserved;
    char name[TWCS_RECORD_NAME_SIZE];
    char text[TWCS_RECORD_TEXT_SIZE];
};

/* Three host functions with their contexts; any function may be null. */
typedef struct HostRecord {
    HostFunction first;
    void* firstContext;
    HostFunction second;
    void* secondContext;
    HostFunction third;
    void* thirdContext;
} HostRecord;

#if defined(__cplusplus)
static_assert(sizeof(EventRecord) == 784, "EventRecord must be 784 bytes");
static_assert(offsetof(EventRecord, kind) == 0, "kind at 0");
static_assert(offsetof(EventRecord, reserved) == 4, "reserved word at 4");
static_assert(offsetof(EventRecord, name) == 8, "name at 8");
static_assert(offsetof(EventRecord, text) == 264, "text at 264");
#elif defined(__STDC_VERSION__) && __STDC_VERSION__ >= 201112L
_Static_assert(sizeof(EventRecord) == 784, "EventRecord must be 784 bytes");
_Static_assert(offsetof(EventRecord, kind) == 0, "kind at 0");
_Static_assert(offsetof(EventRecord, reserved) == 4, "reserved word at 4");
_Static_assert(offsetof(EventRecord, name) == 8, "name at 8");
_Static_assert(offsetof(EventRecord, text) == 264, "text at 264");
#endif

/* The module's cycle object; never null. */
TWCS_EXPORT Cycle* TWCS_CALL twCSgetCycle(void);

/* Runs the cycle once. `cycle` may be null (the module's cycle); `host` may
 * be null. The first entry of `argv` is an ordinary argument. Returns 0 when
 * the call is refused, the arguments or the configuration fail, or memory ran
 * short during the run (its geometry output is then not written), else 1. A
 * geometry output that could not be written completely is removed; the run
 * still returns 1. */
TWCS_EXPORT int32_t TWCS_CALL twCSexecCycle(Cycle* cycle, int32_t argc, char** argv,
                                            HostRecord* host);

/* Stores `value` in the cycle's signal word; returns the previous value. */
TWCS_EXPORT int32_t TWCS_CALL twCSsetSignal(Cycle* cycle, int32_t value);

/* Returns the cycle's signal state word. */
TWCS_EXPORT int32_t TWCS_CALL twCSgetSignal(Cycle* cycle);

#ifdef __cplusplus
}
#endif

#endif /* TWPNTOPT_H */
