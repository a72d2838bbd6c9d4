#include "text/string_array.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "runtime/growable_array.h"

namespace kwCore {
namespace {

// RecordingStorage is the heap with a log of every resize and release.
struct RecordingStorage {
    struct Call {
        bool release;
        size_t bytes;
    };
    static inline std::vector<Call> calls;

    static void* resize(void* block, size_t bytes) noexcept {
        calls.push_back({false, bytes});
        return std::realloc(block, bytes);
    }
    static void release(void* block) noexcept {
        calls.push_back({true, 0});
        std::free(block);
    }
};

using RecordedArray = GrowableArray<SharedString, RecordingStorage>;

size_t bytesFor(size_t handles) {
    return handles * sizeof(SharedString);
}

TEST(GrowableArray, StorageFollowsMultiplesOfSixteen) {
    RecordingStorage::calls.clear();
    {
        RecordedArray array;
        array.setSize(16);
        ASSERT_EQ(RecordingStorage::calls.size(), 1u);
        EXPECT_EQ(RecordingStorage::calls[0].bytes, bytesFor(16));

        array.setSize(17);  // crosses 16: room for 32
        ASSERT_EQ(RecordingStorage::calls.size(), 2u);
        EXPECT_EQ(RecordingStorage::calls[1].bytes, bytesFor(32));

        array.setSize(32);  // same multiple: no call
        array.setSize(20);
        EXPECT_EQ(RecordingStorage::calls.size(), 2u);

        array.setSize(16);  // back to room for 16
        ASSERT_EQ(RecordingStorage::calls.size(), 3u);
        EXPECT_FALSE(RecordingStorage::calls[2].release);
        EXPECT_EQ(RecordingStorage::calls[2].bytes, bytesFor(16));

        array.setSize(0);
        ASSERT_EQ(RecordingStorage::calls.size(), 4u);
        EXPECT_TRUE(RecordingStorage::calls[3].release);
        EXPECT_EQ(array.items(), nullptr);
        EXPECT_EQ(array.count(), 0);

        array.setSize(-5);  // negative counts as 0: nothing to do
        EXPECT_EQ(RecordingStorage::calls.size(), 4u);

        for (int i = 0; i < 33; ++i) {
            array.add(SharedString("x"));
        }
        // One resize per 16 elements: 16, 32, 48.
        ASSERT_EQ(RecordingStorage::calls.size(), 7u);
        EXPECT_EQ(RecordingStorage::calls[6].bytes, bytesFor(48));
    }
    // Destruction frees the storage.
    ASSERT_EQ(RecordingStorage::calls.size(), 8u);
    EXPECT_TRUE(RecordingStorage::calls[7].release);
}

TEST(StringArray, NewElementsAreNullAndRemovedOnesReleased) {
    SharedString shared("abc");
    StringArray array;
    array.setSize(3);
    for (int32_t i = 0; i < array.count(); ++i) {
        EXPECT_TRUE(array[i].isNull());
    }
    array[1] = shared;
    array[2] = shared;
    EXPECT_EQ(shared.blockInfo().refCount, 3);

    array.setSize(2);  // releases element 2 only
    EXPECT_EQ(shared.blockInfo().refCount, 2);
    array.setSize(5);  // the regrown slots start null, not with old handles
    EXPECT_TRUE(array[2].isNull());
    EXPECT_TRUE(array[4].isNull());
    EXPECT_STREQ(array[1].cStr(), "abc");
    array.setSize(0);
    EXPECT_EQ(shared.blockInfo().refCount, 1);
}

TEST(StringArray, AddSharesTheBlockAndReturnsTheIndex) {
    SharedString text("drive");
    StringArray array;
    EXPECT_EQ(array.add(text), 0);
    EXPECT_EQ(array.add(SharedString()), 1);
    EXPECT_EQ(array.count(), 2);
    EXPECT_EQ(array.items()[0].cStr(), text.cStr());  // same characters, not a copy
    EXPECT_EQ(text.blockInfo().refCount, 2);
    EXPECT_TRUE(array[1].isNull());
}

TEST(StringArray, AddOfItsOwnElementSurvivesTheMove) {
    StringArray array;
    for (int i = 0; i < 16; ++i) {
        array.add(SharedString(static_cast<char>('a' + i)));
    }
    // The seventeenth element moves the storage; the source must be read first.
    EXPECT_EQ(array.add(array[3]), 16);
    EXPECT_STREQ(array[16].cStr(), "d");
    EXPECT_EQ(array[3].blockInfo().refCount, 2);
}

}  // namespace
}  // namespace kwCore
