#include "thread/thread_local_slot.h"

#include <gtest/gtest.h>

#include "thread/running_thread.h"

namespace kwCore {
namespace {

int markers[3];

struct OtherThreadView {
    ThreadLocalSlot* slot;
    void* seen = &markers[2];
};

void lookAndSet(void* argument) {
    auto* view = static_cast<OtherThreadView*>(argument);
    view->seen = view->slot->get();
    view->slot->set(&markers[1]);
}

TEST(ThreadLocalSlot, EachThreadSeesItsOwnValueUntilTheIndexIsFreed) {
    ThreadLocalSlot slot;
    ASSERT_TRUE(slot.isAllocated());
    EXPECT_EQ(slot.get(), nullptr);
    ASSERT_TRUE(slot.set(&markers[0]));
    EXPECT_EQ(slot.get(), &markers[0]);

    OtherThreadView view{&slot};
    startThread(lookAndSet, &view).wait();
    EXPECT_EQ(view.seen, nullptr);       // a new thread starts with nothing
    EXPECT_EQ(slot.get(), &markers[0]);  // and its value stays its own

    slot.free();
    EXPECT_FALSE(slot.isAllocated());
    EXPECT_EQ(slot.get(), nullptr);
    EXPECT_FALSE(slot.set(&markers[0]));
    slot.free();  // a second free does nothing
}

TEST(ThreadLocalSlot, AReusedIndexStartsEmpty) {
    for (int round = 0; round < 3; ++round) {
        ThreadLocalSlot slot;
        ASSERT_TRUE(slot.isAllocated());
        EXPECT_EQ(slot.get(), nullptr) << round;  // no value from the round before
        ASSERT_TRUE(slot.set(&markers[round]));
    }
}

}  // namespace
}  // namespace kwCore
