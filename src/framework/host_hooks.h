// Relays from the event channels to the host's three functions.
#pragma once

#include <cstdint>

#include "twpntopt.h"

namespace tw {

// The channels that receive a relay hook, in the order they are hooked.
inline constexpr std::uint16_t kRelayedChannels[] = {0, 1, 2, 3, 10, 11, 12, 31, 35, 40, 41, 42};

// Progress handler installed for the duration of a run. On event 312 (the
// first record of the run) it hangs a relay on every registered channel of
// kRelayedChannels, as POF hook with the host record as context. A missing
// host record, or one whose three functions are all null, installs nothing.
void TWCS_CALL installHostHooks(Cycle* cycle, std::int32_t event, void* hostRecord);

}  // namespace tw
