#include "thread/thread_local_slot.h"

#include <gtest/gtest.h>

#include "thread/running_thread.h"

namespace kwCore {
namespace {

struct SlotProbe {
    ThreadLocalSlot* slot;
    void* seenBeforeSet;
    void* seenAfterSet;
};

void probeSlot(void* argument) {
    auto* probe = static_cast<SlotProbe*>(argument);
    probe->seenBeforeSet = probe->slot->get();
    probe->slot->set(&probe->seenAfterSet);
    probe->seenAfterSet = probe->slot->get();
}

TEST(ThreadLocalSlot, EachThreadSeesItsOwnValue) {
    ThreadLocalSlot slot;
    ASSERT_TRUE(slot.isAllocated());
    EXPECT_EQ(slot.get(), nullptr);
    int mine = 0;
    EXPECT_TRUE(slot.set(&mine));

    SlotProbe probe{&slot, &mine, nullptr};
    startThread(probeSlot, &probe).wait();
    EXPECT_EQ(probe.seenBeforeSet, nullptr);
    EXPECT_EQ(probe.seenAfterSet, &probe.seenAfterSet);
    EXPECT_EQ(slot.get(), &mine);
}

TEST(ThreadLocalSlot, AFreedSlotHoldsNothing) {
    ThreadLocalSlot slot;
    int value = 0;
    slot.set(&value);
    slot.free();
    EXPECT_FALSE(slot.isAllocated());
    EXPECT_EQ(slot.get(), nullptr);
    EXPECT_FALSE(slot.set(&value));
    slot.free();  // a second free does nothing
}

}  // namespace
}  // namespace kwCore
