// The cycle module loaded at run time and called through its four exports,
// as the host calls it for any job.
#pragma once

#include <string>
#include <vector>

#include "platform/platform.h"
#include "twpntopt.h"

namespace twcycle::drill {

class CycleModule {
public:
    // Loads `path` and finds the four exports; error() says what failed.
    explicit CycleModule(const std::string& path);

    bool ready() const { return error_.empty(); }
    const std::string& error() const { return error_; }

    // The identifier the module's definition file is named after.
    std::string identifier() const;

    // One run with `arguments` and no host hooks; true when the module
    // accepted it (twCSexecCycle returned 1).
    bool run(std::vector<std::string> arguments) const;

private:
    using GetCycle = Cycle*(TWCS_CALL*)(void);
    using ExecCycle = int32_t(TWCS_CALL*)(Cycle*, int32_t, char**, HostRecord*);

    tw::platform::DynamicLibrary library_;
    GetCycle getCycle_ = nullptr;
    ExecCycle execCycle_ = nullptr;
    std::string error_;
};

}  // namespace twcycle::drill
