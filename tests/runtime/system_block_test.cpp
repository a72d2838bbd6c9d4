#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "runtime/heap.h"
#include "runtime/system_block.h"

namespace kwCore {
namespace {

TEST(SystemBlock, IsAZeroedWritableBlockOfTheFullSize) {
    auto* block = static_cast<unsigned char*>(allocateSystemBlock());
    ASSERT_NE(block, nullptr);
    EXPECT_TRUE(
        std::all_of(block, block + systemBlockSize, [](unsigned char c) { return c == 0; }));
    std::memset(block, 0xA5, systemBlockSize);
    EXPECT_EQ(block[systemBlockSize - 1], 0xA5);
    releaseSystemBlock(block);
    releaseSystemBlock(nullptr);
}

TEST(Heap, ReallocationKeepsTheContentsAndZeroSizeFrees) {
    auto* memory = static_cast<char*>(heapAllocate(4));
    std::memcpy(memory, "abcd", 4);
    memory = static_cast<char*>(heapReallocate(memory, 100000));
    EXPECT_EQ(std::memcmp(memory, "abcd", 4), 0);
    EXPECT_EQ(heapReallocate(memory, 0), nullptr);  // freed: the sanitizers see no leak
    heapFree(heapAllocate(0));
}

}  // namespace
}  // namespace kwCore
