// Event channels: every record a cycle produces is emitted on a numbered
// channel and reaches the handler of the current output mode, then the host
// hooks hung behind it.
#pragma once

#include <cstdint>
#include <vector>

#include "twpntopt.h"

namespace tw {

struct ChannelHookEntry {
    ChannelHook pofHook = nullptr;
    void* pofContext = nullptr;
    ChannelHook pcfHook = nullptr;
    void* pcfContext = nullptr;
};

}  // namespace tw

// A node of Cycle::channels, kept sorted by ascending number, each number at
// most once. Owned by the cycle's list; released by releaseChannels.
struct EventChannel {
    std::uint16_t number = 0;
    std::int32_t enabled = 0;
    ChannelHandler pofHandler = nullptr;
    ChannelHandler pcfHandler = nullptr;
    std::vector<tw::ChannelHookEntry> hooks;
    EventChannel* next = nullptr;
};

namespace tw {

// Registers a channel, or replaces the handlers and `enabled` of an existing
// one (its hooks stay). Raises 131 before and 139 after. 0 when memory is short.
std::int32_t registerChannel(Cycle* cycle, std::uint16_t number, ChannelHandler pofHandler,
                             ChannelHandler pcfHandler, std::int32_t enabled);

// Appends a hook to a registered channel. 0 when the channel is not
// registered, both hooks are null, or memory is short.
std::int32_t addHostHook(Cycle* cycle, std::uint16_t number, ChannelHook pofHook, void* pofContext,
                         ChannelHook pcfHook, void* pcfContext);

// Delivers `record` on channel `number`: the first emission of a run raises
// progress event 312. Returns the handler's result, or 0 when nothing
// handled the record.
std::int32_t emitRecord(Cycle* cycle, std::uint16_t number, EventRecord* record);

// Releases every channel and its hooks.
void releaseChannels(Cycle* cycle);

}  // namespace tw
