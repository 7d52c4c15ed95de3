#include "module/exec_cycle.h"

#include <mutex>
#include <optional>
#include <string>

#include "cycle/point_list_cycle.h"
#include "cycle/working_copy_claims.h"
#include "framework/arguments.h"
#include "framework/channels.h"
#include "framework/host_hooks.h"
#include "framework/host_stack.h"
#include "framework/run_faults.h"
#include "framework/run_phases.h"
#include "module/cycle_objects.h"
#include "output/geometry_writer.h"
#include "platform/recursive_lock.h"
#include "settings/parameter_list.h"

namespace tw {
namespace {

std::int32_t lastCode = 0;

// Every run keeps its state in the module's static objects, so runs from
// several threads go one after another. The lock is re-entrant because a
// host hook may start a nested run on the same thread. It lives until the
// module is unloaded.
platform::RecursiveLock& runLock() {
    static platform::RecursiveLock lock;
    return lock;
}

// Gives up, at the end of a run, whatever working-copy claims it and the runs
// nested in it still hold (a run that stopped before its teardown keeps its
// files until the next run, but never its claims).
class WorkingCopyClaimsScope {
public:
    WorkingCopyClaimsScope() : depth_(hostRecordDepth() + 1) {}
    ~WorkingCopyClaimsScope() { releaseWorkingCopyClaims(depth_); }
    WorkingCopyClaimsScope(const WorkingCopyClaimsScope&) = delete;
    WorkingCopyClaimsScope& operator=(const WorkingCopyClaimsScope&) = delete;

private:
    std::size_t depth_;
};

// Keeps the host record on the stack for exactly the life of one run.
class HostRecordScope {
public:
    explicit HostRecordScope(HostRecord* host) : pushed_(pushHostRecord(host)) {}
    ~HostRecordScope() {
        if (pushed_) popHostRecord();
    }
    HostRecordScope(const HostRecordScope&) = delete;
    HostRecordScope& operator=(const HostRecordScope&) = delete;
    bool pushed() const { return pushed_; }

private:
    bool pushed_;
};

// Installs the host-hook handler for the run phases and puts back what was
// there before, so that a run nested on the same cycle does not strip the
// handler of the run around it.
class ProgressHandlerScope {
public:
    ProgressHandlerScope(Cycle* cycle, HostRecord* host)
        : cycle_(cycle), handler_(cycle->eventHandler), context_(cycle->eventContext) {
        cycle->eventHandler = installHostHooks;
        cycle->eventContext = host;
    }
    ~ProgressHandlerScope() {
        cycle_->eventHandler = handler_;
        cycle_->eventContext = context_;
    }
    ProgressHandlerScope(const ProgressHandlerScope&) = delete;
    ProgressHandlerScope& operator=(const ProgressHandlerScope&) = delete;

private:
    Cycle* cycle_;
    ProgressHandler handler_;
    void* context_;
};

bool acceptableVector(std::int32_t count, char** arguments) {
    if (count < 0 || count > kMaxArguments) return false;
    if (count > 0 && arguments == nullptr) return false;
    for (std::int32_t i = 0; i < count; ++i) {
        if (arguments[i] == nullptr) return false;
    }
    return true;
}

// Leaves nothing of a run that an exception stopped: no output that could
// pass for its result, no optimizer, working copy, channel, parameter or
// text. Calls nothing of the host.
void abortRun(Cycle* cycle) noexcept {
    abandonGeometryOutput();
    if (runsPointListCycle(cycle)) releaseCycleState(cycle);
    releaseChannels(cycle);
    discardRunCollections(cycle);
}

}  // namespace

std::int32_t execCycle(Cycle* cycle, std::int32_t count, char** arguments, HostRecord* host) {
    const std::lock_guard<platform::RecursiveLock> serialized(runLock());
    if (cycle == nullptr) cycle = moduleCycle();
    if (hostRecordDepth() >= kMaxNestedRuns) return 0;
    if (!acceptableVector(count, arguments)) return 0;

    RunFaultScope faults;
    const WorkingCopyClaimsScope claims;
    HostRecordScope hostScope(host);
    if (!hostScope.pushed()) return 0;
    try {
        if (parseArguments(cycle, arguments, static_cast<std::uint16_t>(count)) == 0) return 0;
        if (faults.faulted()) {
            // Short memory may have dropped a switch or a setting (even the
            // output's name), so the run cannot be trusted to do what the
            // host asked: it is refused like a failed configuration.
            if (const std::optional<std::string> output = getParameter(cycle->parameters, "geoOut")) {
                const std::optional<std::string> source = getParameter(cycle->parameters, "geoSource");
                removeEarlierOutput(*output, source ? source->c_str() : nullptr);
            }
            discardRunCollections(cycle);
            return 0;
        }
        ProgressHandlerScope handlerScope(cycle, host);
        lastCode = runPhases(cycle);
    } catch (...) {
        // Short memory, as a rule; the run is refused like one whose
        // configuration failed.
        abortRun(cycle);
        return 0;
    }
    // A run short of memory may have dropped settings, points or
    // improvements, so its output was not published; it is refused too.
    return faults.faulted() ? 0 : 1;
}

std::int32_t lastResultCode() {
    const std::lock_guard<platform::RecursiveLock> serialized(runLock());
    return lastCode;
}

}  // namespace tw
