#include "framework/channels.h"

#include <new>

#include "framework/slots.h"

namespace tw {
namespace {

// The first channel whose number is not below `number`, and the link that
// points at it.
EventChannel** findSlot(Cycle* cycle, std::uint16_t number) {
    EventChannel** link = &cycle->channels;
    while (*link != nullptr && (*link)->number < number) link = &(*link)->next;
    return link;
}

EventChannel* findChannel(Cycle* cycle, std::uint16_t number) {
    EventChannel* channel = *findSlot(cycle, number);
    return channel != nullptr && channel->number == number ? channel : nullptr;
}

}  // namespace

std::int32_t registerChannel(Cycle* cycle, std::uint16_t number, ChannelHandler pofHandler,
                             ChannelHandler pcfHandler, std::int32_t enabled) {
    raiseProgress(cycle, kBeforeRegisterChannel);
    std::int32_t result = 1;
    EventChannel** link = findSlot(cycle, number);
    if (*link != nullptr && (*link)->number == number) {
        (*link)->pofHandler = pofHandler;
        (*link)->pcfHandler = pcfHandler;
        (*link)->enabled = enabled;
    } else if (auto* channel = new (std::nothrow) EventChannel) {
        channel->number = number;
        channel->enabled = enabled;
        channel->pofHandler = pofHandler;
        channel->pcfHandler = pcfHandler;
        channel->next = *link;
        *link = channel;
    } else {
        result = 0;
    }
    raiseProgress(cycle, kAfterRegisterChannel);
    return result;
}

std::int32_t addHostHook(Cycle* cycle, std::uint16_t number, ChannelHook pofHook, void* pofContext,
                         ChannelHook pcfHook, void* pcfContext) {
    EventChannel* channel = findChannel(cycle, number);
    if (channel == nullptr || (pofHook == nullptr && pcfHook == nullptr)) return 0;
    try {
        channel->hooks.push_back({pofHook, pofContext, pcfHook, pcfContext});
    } catch (const std::bad_alloc&) {
        return 0;
    }
    return 1;
}

std::int32_t emitRecord(Cycle* cycle, std::uint16_t number, EventRecord* record) {
    if (cycle->firstEmissionPending == 1) {
        cycle->firstEmissionPending = 0;
        raiseProgress(cycle, kFirstEmission);
    }
    EventChannel* channel = findChannel(cycle, number);
    if (channel == nullptr || channel->enabled != 1) return 0;

    const bool pcf = cycle->pcfMode != 0;
    ChannelHandler handler = pcf ? channel->pcfHandler : channel->pofHandler;
    // A handler or hook may start a nested run that releases this cycle's
    // channels, so the hooks are taken before anything is called.
    std::vector<ChannelHookEntry> hooks;
    if (!channel->hooks.empty()) {
        try {
            hooks = channel->hooks;
        } catch (const std::bad_alloc&) {
            hooks.clear();
        }
    }
    const std::int32_t result = handler != nullptr ? handler(cycle, record) : 0;
    for (const ChannelHookEntry& hook : hooks) {
        if (pcf) {
            if (hook.pcfHook != nullptr) hook.pcfHook(cycle, record, hook.pcfContext);
        } else if (hook.pofHook != nullptr) {
            hook.pofHook(cycle, record, hook.pofContext);
        }
    }
    return result;
}

void releaseChannels(Cycle* cycle) {
    EventChannel* channel = cycle->channels;
    cycle->channels = nullptr;
    while (channel != nullptr) {
        EventChannel* next = channel->next;
        delete channel;
        channel = next;
    }
}

}  // namespace tw
