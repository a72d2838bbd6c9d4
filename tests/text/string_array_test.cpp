#include "text/string_array.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

namespace kwCore {
namespace {

// RecordingStorage is the heap with a log of the sizes it was asked for;
// 0 stands for a release.
struct RecordingStorage {
    static inline std::vector<size_t> calls;
    static void* resize(void* block, size_t bytes) noexcept {
        calls.push_back(bytes);
        return std::realloc(block, bytes);
    }
    static void release(void* block) noexcept {
        calls.push_back(0);
        std::free(block);
    }
};

constexpr size_t kHandle = sizeof(SharedString);

TEST(GrowableArray, StorageChangesOnlyAcrossMultiplesOfSixteen) {
    auto& calls = RecordingStorage::calls;
    calls.clear();
    {
        GrowableArray<SharedString, RecordingStorage> array;
        array.setSize(16);
        array.setSize(17);
        array.setSize(32);  // same multiple as 17: no call
        array.setSize(16);
        array.setSize(0);
        EXPECT_EQ(array.items(), nullptr);
        array.setSize(-5);  // counts as 0: nothing to do
        EXPECT_EQ(calls, (std::vector<size_t>{16 * kHandle, 32 * kHandle, 16 * kHandle, 0}));

        calls.clear();
        for (int i = 0; i < 33; ++i) {
            array.add(SharedString("x"));
        }
        EXPECT_EQ(calls, (std::vector<size_t>{16 * kHandle, 32 * kHandle, 48 * kHandle}));
        calls.clear();
    }
    EXPECT_EQ(calls, std::vector<size_t>{0});  // destruction frees the storage
}

TEST(StringArray, ElementsShareBlocksAndAreReleasedWhenRemoved) {
    const SharedString shared("abc");
    StringArray array;
    EXPECT_EQ(array.add(shared), 0);
    array.setSize(3);
    EXPECT_TRUE(array[1].isNull());
    array[2] = shared;
    EXPECT_EQ(array.items()[0].cStr(), shared.cStr());  // a handle, not a copy
    EXPECT_EQ(shared.blockInfo().refCount, 3);

    array.setSize(2);
    EXPECT_EQ(shared.blockInfo().refCount, 2);
    array.setSize(5);  // regrown slots start null, not with the old handle
    EXPECT_TRUE(array[2].isNull());
    array.setSize(0);
    EXPECT_EQ(shared.blockInfo().refCount, 1);
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
