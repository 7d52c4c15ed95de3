#include "framework/channels.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/event_record.h"
#include "framework/host_hooks.h"
#include "test_cycle.h"

namespace tw {
namespace {

using testing::TestCycle;

std::vector<std::string> calls;

std::int32_t TWCS_CALL pofHandler(Cycle*, EventRecord* record) {
    calls.push_back(std::string("pof ") + record->name);
    return 5;
}
std::int32_t TWCS_CALL pcfHandler(Cycle*, EventRecord* record) {
    calls.push_back(std::string("pcf ") + record->name);
    return 7;
}
std::int32_t TWCS_CALL pofHook(Cycle*, EventRecord*, void* context) {
    calls.push_back(std::string("pof hook ") + static_cast<const char*>(context));
    return 0;
}
std::int32_t TWCS_CALL pcfHook(Cycle*, EventRecord*, void* context) {
    calls.push_back(std::string("pcf hook ") + static_cast<const char*>(context));
    return 0;
}

std::vector<int> channelNumbers(const Cycle& cycle) {
    std::vector<int> numbers;
    for (const EventChannel* channel = cycle.channels; channel != nullptr; channel = channel->next)
        numbers.push_back(channel->number);
    return numbers;
}

class Channels : public ::testing::Test {
protected:
    void SetUp() override { calls.clear(); }
    void TearDown() override { releaseChannels(&test.cycle); }

    std::int32_t emit(std::uint16_t number, const char* name = "r") {
        EventRecord record = makeRecord(1, name);
        return emitRecord(&test.cycle, number, &record);
    }

    TestCycle test;
};

TEST_F(Channels, StaySortedAndUpdateInPlaceKeepingHooks) {
    ASSERT_EQ(registerChannel(&test.cycle, 31, pofHandler, pcfHandler, 1), 1);
    ASSERT_EQ(registerChannel(&test.cycle, 0, pofHandler, pcfHandler, 1), 1);
    ASSERT_EQ(registerChannel(&test.cycle, 2, pofHandler, pcfHandler, 1), 1);
    EXPECT_EQ(channelNumbers(test.cycle), (std::vector<int>{0, 2, 31}));

    char context[] = "a";
    ASSERT_EQ(addHostHook(&test.cycle, 2, pofHook, context, nullptr, nullptr), 1);
    ASSERT_EQ(registerChannel(&test.cycle, 2, pcfHandler, pofHandler, 1), 1);
    EXPECT_EQ(channelNumbers(test.cycle), (std::vector<int>{0, 2, 31}));
    EXPECT_EQ(emit(2, "x"), 7);  // POF mode now reaches what was the PCF handler
    EXPECT_EQ(calls, (std::vector<std::string>{"pcf x", "pof hook a"}));
}

TEST_F(Channels, RegistrationRaisesItsProgressEvents) {
    test.cycle.eventHandler = testing::recordEvent;
    registerChannel(&test.cycle, 4, nullptr, nullptr, 1);
    EXPECT_EQ(test.journal.entries, (std::vector<std::string>{"131", "139"}));
}

TEST_F(Channels, HandlerOfTheCurrentModeAndItsHooksReceiveTheRecord) {
    registerChannel(&test.cycle, 3, pofHandler, pcfHandler, 1);
    char first[] = "1", second[] = "2";
    addHostHook(&test.cycle, 3, pofHook, first, pcfHook, first);
    addHostHook(&test.cycle, 3, nullptr, nullptr, pcfHook, second);
    EXPECT_EQ(emit(3, "p"), 5);
    test.cycle.pcfMode = 1;
    EXPECT_EQ(emit(3, "q"), 7);
    EXPECT_EQ(calls, (std::vector<std::string>{"pof p", "pof hook 1", "pcf q", "pcf hook 1", "pcf hook 2"}));
}

TEST_F(Channels, MissingHandlerYieldsZeroButHooksStillRun) {
    registerChannel(&test.cycle, 3, nullptr, pcfHandler, 1);
    char context[] = "h";
    addHostHook(&test.cycle, 3, pofHook, context, nullptr, nullptr);
    EXPECT_EQ(emit(3), 0);
    EXPECT_EQ(calls, (std::vector<std::string>{"pof hook h"}));
}

TEST_F(Channels, DisabledOrUnknownChannelsDeliverNothing) {
    char context[] = "h";
    registerChannel(&test.cycle, 5, pofHandler, pcfHandler, 0);
    addHostHook(&test.cycle, 5, pofHook, context, pcfHook, context);
    registerChannel(&test.cycle, 6, pofHandler, pcfHandler, 2);
    EXPECT_EQ(emit(5), 0);
    EXPECT_EQ(emit(6), 0);
    EXPECT_EQ(emit(4), 0);
    EXPECT_EQ(emit(7), 0);
    EXPECT_TRUE(calls.empty());
}

TEST_F(Channels, HooksNeedARegisteredChannelAndAFunction) {
    char context[] = "h";
    EXPECT_EQ(addHostHook(&test.cycle, 1, pofHook, context, nullptr, nullptr), 0);
    registerChannel(&test.cycle, 1, pofHandler, pcfHandler, 1);
    EXPECT_EQ(addHostHook(&test.cycle, 1, nullptr, context, nullptr, context), 0);
    EXPECT_EQ(addHostHook(&test.cycle, 1, nullptr, nullptr, pcfHook, context), 1);
}

TEST_F(Channels, FirstEmissionRaises312OnceEvenOnAnUnknownChannel) {
    test.cycle.eventHandler = testing::recordEvent;
    emit(9);
    emit(9);
    EXPECT_EQ(test.journal.entries, (std::vector<std::string>{"312"}));
}

TEST_F(Channels, ReleaseEmptiesTheList) {
    registerChannel(&test.cycle, 1, pofHandler, pcfHandler, 1);
    registerChannel(&test.cycle, 2, pofHandler, pcfHandler, 1);
    releaseChannels(&test.cycle);
    EXPECT_EQ(test.cycle.channels, nullptr);
    EXPECT_EQ(emit(1), 0);
}

// Host functions that log which of the three was called for which channel.
std::int32_t TWCS_CALL hostFirst(Cycle*, std::int32_t channel, EventRecord*, void* context) {
    calls.push_back("first " + std::to_string(channel) + " " + static_cast<const char*>(context));
    return 1;
}
std::int32_t TWCS_CALL hostSecond(Cycle*, std::int32_t channel, EventRecord*, void*) {
    calls.push_back("second " + std::to_string(channel));
    return 0;
}
std::int32_t TWCS_CALL hostThird(Cycle*, std::int32_t channel, EventRecord*, void*) {
    calls.push_back("third " + std::to_string(channel));
    return 1;
}

TEST_F(Channels, RelaysMapChannelsToTheHostFunctions) {
    for (std::uint16_t number = 0; number <= 45; ++number) registerChannel(&test.cycle, number, nullptr, nullptr, 1);
    char context[] = "c1";
    HostRecord host{hostFirst, context, hostSecond, nullptr, hostThird, nullptr};
    installHostHooks(&test.cycle, 311, &host);  // only event 312 installs
    emit(0);
    EXPECT_TRUE(calls.empty());

    installHostHooks(&test.cycle, 312, &host);
    for (std::uint16_t number = 0; number <= 45; ++number) emit(number);
    const std::vector<std::string> expected = {
        "first 0 c1", "second 0", "second 1", "second 2", "third 3", "first 10 c1", "first 11 c1",
        "first 12 c1", "first 31 c1", "first 35 c1", "third 40", "first 41 c1", "first 42 c1"};
    EXPECT_EQ(calls, expected);
}

TEST_F(Channels, RelayResultIsZeroWhenAHostFunctionFails) {
    registerChannel(&test.cycle, 0, nullptr, nullptr, 1);
    registerChannel(&test.cycle, 1, nullptr, nullptr, 1);
    char context[] = "c";
    HostRecord host{hostFirst, context, hostSecond, nullptr, nullptr, nullptr};
    installHostHooks(&test.cycle, 312, &host);
    // Hook results never change what emitRecord returns, so call the relays
    // through the installed hook entries.
    const EventChannel* zero = test.cycle.channels;
    ASSERT_EQ(zero->hooks.size(), 1u);
    EventRecord record = makeRecord(1, "r");
    EXPECT_EQ(zero->hooks[0].pofHook(&test.cycle, &record, &host), 0);
    HostRecord good{hostFirst, context, nullptr, nullptr, nullptr, nullptr};
    EXPECT_EQ(zero->hooks[0].pofHook(&test.cycle, &record, &good), 1);
}

TEST_F(Channels, HostRecordWithoutFunctionsOrMissingInstallsNothing) {
    registerChannel(&test.cycle, 0, nullptr, nullptr, 1);
    HostRecord empty{};
    char context[] = "x";
    empty.firstContext = context;
    installHostHooks(&test.cycle, 312, &empty);
    installHostHooks(&test.cycle, 312, nullptr);
    EXPECT_TRUE(test.cycle.channels->hooks.empty());
}

TEST_F(Channels, PofOnlyHookIsNeverCalledInPcfMode) {
    registerChannel(&test.cycle, 31, pofHandler, pcfHandler, 1);
    char context[] = "c";
    HostRecord host{hostFirst, context, nullptr, nullptr, nullptr, nullptr};
    installHostHooks(&test.cycle, 312, &host);
    test.cycle.pcfMode = 1;
    emit(31, "z");
    EXPECT_EQ(calls, (std::vector<std::string>{"pcf z"}));
}

}  // namespace
}  // namespace tw
