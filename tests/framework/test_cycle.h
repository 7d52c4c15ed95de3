// A cycle for framework tests: its parent is the kernel cycle, and every slot
// it fills records its call in a shared journal and returns what the test
// configured.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "framework/slots.h"
#include "module/cycle_objects.h"
#include "twpntopt.h"

namespace tw::testing {

struct Journal {
    std::vector<std::string> entries;
    std::array<std::int32_t, TWCS_SLOT_COUNT> results{};

    static Journal*& current() {
        static Journal* journal = nullptr;
        return journal;
    }
};

template <int SlotNumber>
std::int32_t TWCS_CALL recordingSlot(Cycle*) {
    Journal* journal = Journal::current();
    if (journal == nullptr) return 1;
    journal->entries.push_back("slot " + std::to_string(SlotNumber));
    return journal->results[SlotNumber];
}

inline void TWCS_CALL recordEvent(Cycle*, std::int32_t event, void*) {
    if (Journal* journal = Journal::current()) journal->entries.push_back(std::to_string(event));
}

template <std::size_t... I>
void fillRecordingSlots(Cycle& cycle, std::index_sequence<I...>) {
    ((cycle.slots[I] = &recordingSlot<static_cast<int>(I)>), ...);
}

// A fresh cycle whose every slot records, with all results 1; the journal is
// installed for the life of the object.
class TestCycle {
public:
    TestCycle() {
        cycle.parent = kernelCycle();
        cycle.interfaceVersion = kInterfaceVersion;
        cycle.title = "Test cycle";
        cycle.identifier = "testCycle";
        cycle.firstEmissionPending = 1;
        fillRecordingSlots(cycle, std::make_index_sequence<TWCS_SLOT_COUNT>{});
        journal.results.fill(1);
        Journal::current() = &journal;
    }
    ~TestCycle() {
        Journal::current() = nullptr;
        releaseAll();
    }
    TestCycle(const TestCycle&) = delete;
    TestCycle& operator=(const TestCycle&) = delete;

    void releaseAll();

    Cycle cycle{};
    Journal journal;
};

}  // namespace tw::testing
