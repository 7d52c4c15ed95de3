#include "framework/host_hooks.h"

#include <array>
#include <iterator>
#include <utility>

#include "framework/channels.h"
#include "framework/slots.h"

namespace tw {
namespace {

enum HostFunctionMask { kFirst = 1, kSecond = 2, kThird = 4 };

// Which host functions a channel's relay calls, in the order called.
constexpr int relayMask(std::uint16_t channel) {
    switch (channel) {
        case 0: return kFirst | kSecond;
        case 1: case 2: return kSecond;
        case 3: case 40: return kThird;
        default: return kFirst;
    }
}

bool callHost(HostFunction function, void* context, Cycle* cycle, std::int32_t channel,
              EventRecord* record) {
    return function == nullptr || function(cycle, channel, record, context) != 0;
}

template <std::uint16_t Channel>
std::int32_t TWCS_CALL relay(Cycle* cycle, EventRecord* record, void* context) {
    const auto* host = static_cast<const HostRecord*>(context);
    if (host == nullptr) return 1;
    constexpr int mask = relayMask(Channel);
    bool ok = true;
    if (mask & kFirst) ok = callHost(host->first, host->firstContext, cycle, Channel, record) && ok;
    if (mask & kSecond) ok = callHost(host->second, host->secondContext, cycle, Channel, record) && ok;
    if (mask & kThird) ok = callHost(host->third, host->thirdContext, cycle, Channel, record) && ok;
    return ok ? 1 : 0;
}

template <std::size_t... I>
constexpr auto makeRelays(std::index_sequence<I...>) {
    return std::array<ChannelHook, sizeof...(I)>{&relay<kRelayedChannels[I]>...};
}

constexpr auto kRelays = makeRelays(std::make_index_sequence<std::size(kRelayedChannels)>{});

}  // namespace

void TWCS_CALL installHostHooks(Cycle* cycle, std::int32_t event, void* hostRecord) {
    if (event != kFirstEmission || hostRecord == nullptr) return;
    const auto* host = static_cast<const HostRecord*>(hostRecord);
    if (host->first == nullptr && host->second == nullptr && host->third == nullptr) return;
    for (std::size_t i = 0; i < std::size(kRelayedChannels); ++i) {
        addHostHook(cycle, kRelayedChannels[i], kRelays[i], hostRecord, nullptr, nullptr);
    }
}

}  // namespace tw
