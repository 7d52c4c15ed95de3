#include <gtest/gtest.h>

#include "framework/arguments.h"
#include "framework/slots.h"
#include "module/cycle_objects.h"

namespace tw {
namespace {

template <int N>
std::int32_t TWCS_CALL marker(Cycle*) { return N; }

Cycle makeCycle(Cycle* parent, std::uint16_t version) {
    Cycle cycle{};
    cycle.parent = parent;
    cycle.interfaceVersion = version;
    return cycle;
}

TEST(SlotInheritance, FillsOnlyEmptySlotsThroughTheGrandparent) {
    Cycle grandparent = makeCycle(nullptr, 5);
    grandparent.slots[0] = marker<100>;
    grandparent.slots[1] = marker<101>;
    grandparent.slots[2] = marker<102>;
    Cycle parent = makeCycle(&grandparent, 5);
    parent.slots[1] = marker<201>;
    Cycle child = makeCycle(&parent, 5);
    child.slots[2] = marker<302>;

    ASSERT_EQ(inheritSlots(&child), 1);
    EXPECT_EQ(child.slots[0], marker<100>);  // reached through the parent
    EXPECT_EQ(child.slots[1], marker<201>);
    EXPECT_EQ(child.slots[2], marker<302>);  // own slots are never replaced
    EXPECT_EQ(child.slots[3], nullptr);
    EXPECT_EQ(parent.slots[0], marker<100>);
    EXPECT_EQ(child.slotsInherited, 1);
    EXPECT_EQ(parent.slotsInherited, 1);

    // Later changes of the parent do not reach the child again.
    parent.slots[3] = marker<203>;
    ASSERT_EQ(inheritSlots(&child), 1);
    EXPECT_EQ(child.slots[3], nullptr);
}

TEST(SlotInheritance, MismatchedInterfaceVersionKeepsRefusing) {
    Cycle parent = makeCycle(nullptr, 4);
    parent.slots[0] = marker<1>;
    Cycle child = makeCycle(&parent, 5);
    for (int attempt = 0; attempt < 3; ++attempt) {
        EXPECT_EQ(inheritSlots(&child), 0);
        EXPECT_EQ(child.slotsInherited, 0);
        EXPECT_EQ(child.slots[0], nullptr);
    }
    char* none[] = {nullptr};
    EXPECT_EQ(parseArguments(&child, none, 0), 0);
}

TEST(SlotInheritance, MismatchFurtherUpTheChainRefusesToo) {
    Cycle grandparent = makeCycle(nullptr, 4);
    Cycle parent = makeCycle(&grandparent, 5);
    Cycle child = makeCycle(&parent, 5);
    EXPECT_EQ(inheritSlots(&child), 0);
    EXPECT_EQ(child.slotsInherited, 0);
}

TEST(SlotInheritance, ParentLoopIsRefusedInsteadOfRecursingForever) {
    Cycle a = makeCycle(nullptr, 5);
    Cycle b = makeCycle(&a, 5);
    a.parent = &b;
    EXPECT_EQ(inheritSlots(&a), 0);
}

}  // namespace
}  // namespace tw
