#include "test_cycle.h"

#include <cstdlib>

#include "framework/channels.h"
#include "settings/parameter_list.h"

namespace tw::testing {

void TestCycle::releaseAll() {
    releaseChannels(&cycle);
    freeParameters(cycle.parameters);
    cycle.parameters = nullptr;
    freeParameters(cycle.cfgEntries);
    cycle.cfgEntries = nullptr;
    for (std::uint16_t i = 0; i < cycle.parameterFileCount; ++i) std::free(cycle.parameterFiles[i]);
    std::free(cycle.parameterFiles);
    cycle.parameterFiles = nullptr;
    cycle.parameterFileCount = 0;
    std::free(cycle.settingsSource);
    cycle.settingsSource = nullptr;
}

}  // namespace tw::testing
