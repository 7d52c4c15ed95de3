#include "cycle_module.h"

namespace twcycle::drill {

CycleModule::CycleModule(const std::string& path) : library_(path) {
    if (!library_.loaded()) {
        error_ = "cannot load module " + path + ": " + library_.error();
        return;
    }
    const char* names[] = {"twCSgetCycle", "twCSexecCycle", "twCSsetSignal", "twCSgetSignal"};
    for (const char* name : names) {
        if (library_.symbol(name) == nullptr) {
            error_ = "module " + path + " has no function " + name;
            return;
        }
    }
    getCycle_ = reinterpret_cast<GetCycle>(library_.symbol(names[0]));
    execCycle_ = reinterpret_cast<ExecCycle>(library_.symbol(names[1]));
}

std::string CycleModule::identifier() const {
    const Cycle* cycle = ready() ? getCycle_() : nullptr;
    return cycle != nullptr && cycle->identifier != nullptr ? cycle->identifier : "twPntOpt";
}

bool CycleModule::run(std::vector<std::string> arguments) const {
    if (!ready()) return false;
    std::vector<char*> vector;
    for (std::string& argument : arguments) vector.push_back(argument.data());
    HostRecord host{};
    return execCycle_(nullptr, static_cast<int32_t>(vector.size()), vector.data(), &host) == 1;
}

}  // namespace twcycle::drill
