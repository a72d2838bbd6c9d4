#include "runtime/fast_copy.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

#include "platform/c_library.h"
#include "runtime/fast_copy_methods.h"

namespace {

using CopyFunction = void (*)(void*, const void*, size_t);

constexpr unsigned char kGuard = 0xA5;
// kSlack leaves room around the copied range for misaligning both ends and
// for guard bytes that must come through untouched.
constexpr size_t kSlack = 80;
// kLargestCount is the largest count that copyMatches checks.
constexpr size_t kLargestCount = size_t{64} << 20;

// copyMatches copies count bytes with copy from source offset sourceShift to
// destination offset destinationShift and checks the copied range and the
// guard bytes on both sides of it.
::testing::AssertionResult copyMatches(size_t count, size_t sourceShift, size_t destinationShift,
                                       CopyFunction copy = kwCore::fastCopy) {
    // The bound also tells the optimiser that count + kSlack cannot wrap.
    if (count > kLargestCount) {
        return ::testing::AssertionFailure() << "count " << count << " is too large to check";
    }
    // Pseudo-random bytes, so that a byte taken from the wrong place shows.
    std::vector<uint32_t> words((count + kSlack) / 4 + 1);
    uint32_t state = static_cast<uint32_t>(count) * 2654435761u + 1;
    for (auto& word : words) {
        state = state * 1664525u + 1013904223u;
        word = state ^ (state >> 15);
    }
    std::vector<unsigned char> source(count + kSlack);
    std::memcpy(source.data(), words.data(), source.size());
    std::vector<unsigned char> destination(count + kSlack, kGuard);

    copy(destination.data() + destinationShift, source.data() + sourceShift, count);

    std::vector<unsigned char> expected(destination.size(), kGuard);
    std::memcpy(expected.data() + destinationShift, source.data() + sourceShift, count);
    if (std::memcmp(destination.data(), expected.data(), expected.size()) == 0) {
        return ::testing::AssertionSuccess();
    }
    size_t i = 0;
    while (destination[i] == expected[i]) {
        ++i;
    }
    const bool inside = i >= destinationShift && i < destinationShift + count;
    return ::testing::AssertionFailure()
           << "count " << count << ", source shift " << sourceShift << ", destination shift "
           << destinationShift << ": byte " << i << (inside ? " (copied)" : " (guard)") << " is "
           << int{destination[i]} << ", expected " << int{expected[i]};
}

TEST(FastCopy, ZeroCountTouchesNothing) {
    EXPECT_TRUE(copyMatches(0, 3, 5));
    kwCore::fastCopy(nullptr, nullptr, 0);
}

TEST(FastCopy, SmallCountsAtEveryAlignment) {
    for (size_t count = 1; count <= 300; ++count) {
        for (size_t sourceShift = 0; sourceShift < 16; ++sourceShift) {
            for (size_t destinationShift = 0; destinationShift < 16; ++destinationShift) {
                ASSERT_TRUE(copyMatches(count, sourceShift, destinationShift));
            }
        }
    }
}

// Counts around every point where a copy is likely to change its method: the
// short copies, 64-byte blocks, where the platform's memcpy takes over from
// the inline moves, the 32 KiB and 64 KiB marks, 1,024, 3,151 and 3,152
// blocks, the count from which long copies take the repeated byte move, and
// the count from which copies write around the cache.
TEST(FastCopy, CountsAroundMethodBoundaries) {
    std::vector<size_t> marks = {
        8,         16,        17,        63,        64,        256,           32 * 1024,
        64 * 1024, 1023 * 64, 1024 * 64, 3151 * 64, 3152 * 64, 128 * 64 * 30, 8u << 20,
        12u << 20};
    // Where the platform's memcpy never takes over, its mark lies beyond all copies.
    if (const size_t library = kwCore::platform::libraryCopyFastFrom(); library < kLargestCount) {
        marks.push_back(library);
    }
#if defined(__x86_64__) && defined(__SSE2__)
    marks.push_back(kwCore::detail::kRepeatedCopy);
    marks.push_back(kwCore::detail::kStreamCopy);
#endif
    for (const size_t mark : marks) {
        for (const size_t count : {mark - 1, mark, mark + 1, mark + 63}) {
            for (const auto& [sourceShift, destinationShift] :
                 std::vector<std::pair<size_t, size_t>>{{0, 0}, {1, 7}, {13, 3}, {8, 63}}) {
                ASSERT_TRUE(copyMatches(count, sourceShift, destinationShift));
            }
        }
    }
}

#if defined(__x86_64__) && defined(__SSE2__)
// fastCopy takes only one of the vector methods on a given processor; each is
// checked here on its own, over its whole range of counts.
void inlineMoves(void* d, const void* s, size_t count) {
    kwCore::detail::copyNarrow(static_cast<unsigned char*>(d), static_cast<const unsigned char*>(s),
                               count);
}
template <bool Repeated>
void narrowMoves(void* d, const void* s, size_t count) {
    kwCore::detail::copyMedium<Repeated>(static_cast<unsigned char*>(d),
                                         static_cast<const unsigned char*>(s), count);
}
template <bool Repeated>
void wideMoves(void* d, const void* s, size_t count) {
    kwCore::detail::copyMediumWide<Repeated>(static_cast<unsigned char*>(d),
                                             static_cast<const unsigned char*>(s), count);
}
template <bool Repeated>
void widestMoves(void* d, const void* s, size_t count) {
    kwCore::detail::copyMediumWidest<Repeated>(static_cast<unsigned char*>(d),
                                               static_cast<const unsigned char*>(s), count);
}

void narrowStream(void* d, const void* s, size_t count) {
    kwCore::detail::streamCopy(static_cast<unsigned char*>(d), static_cast<const unsigned char*>(s),
                               count, false);
}
void wideStream(void* d, const void* s, size_t count) {
    kwCore::detail::streamCopy(static_cast<unsigned char*>(d), static_cast<const unsigned char*>(s),
                               count, true);
}

TEST(FastCopy, EveryVectorMethodOverItsCounts) {
    const bool wide = kwCore::detail::wideMovesAvailable();
    // Each method with the largest count it takes here.
    std::vector<std::pair<CopyFunction, size_t>> methods = {
        {inlineMoves, kwCore::detail::kNarrowCopy},
        {narrowMoves<false>, 256},
        {narrowMoves<true>, 256}};
    if (wide) {
        methods.emplace_back(wideMoves<false>, 256);
        methods.emplace_back(wideMoves<true>, 256);
    }
    if (kwCore::detail::widestMovesAvailable()) {
        methods.emplace_back(widestMoves<false>, 256);
        methods.emplace_back(widestMoves<true>, 256);
    }
    for (const auto& [method, last] : methods) {
        for (size_t count = 17; count <= last; ++count) {
            for (size_t shift = 0; shift < 32; ++shift) {
                ASSERT_TRUE(copyMatches(count, shift, 31 - shift, method));
                ASSERT_TRUE(copyMatches(count, shift, shift, method));
            }
        }
    }
    // Longer copies go in blocks of four moves, the destination aligned to a
    // move after the first; the repeated byte move takes over at 2 KiB. Every
    // offset into a 64-byte move on either side, and counts at the edges of
    // the blocks of every width.
    for (const auto& [method, last] : methods) {
        if (last == kwCore::detail::kNarrowCopy) {
            continue;
        }
        for (size_t shift = 0; shift < 64; ++shift) {
            for (const size_t count :
                 {size_t{257}, size_t{319}, size_t{320}, size_t{321}, size_t{383}, size_t{511},
                  size_t{512}, size_t{513}, size_t{1000}, kwCore::detail::kRepeatedCopy - 1,
                  kwCore::detail::kRepeatedCopy, size_t{4133}}) {
                ASSERT_TRUE(copyMatches(count, shift, 63 - shift, method));
                ASSERT_TRUE(copyMatches(count, (shift * 5) % 64, shift, method));
            }
        }
    }
    // Streaming aligns the destination to a line first: every offset into a
    // line, and counts that end before, at and after the first aligned line.
    std::vector<CopyFunction> streams = {narrowStream};
    if (wide) {
        streams.push_back(wideStream);
    }
    for (const CopyFunction stream : streams) {
        for (size_t shift = 0; shift < 64; ++shift) {
            for (const size_t count :
                 {size_t{1}, size_t{63}, size_t{64}, size_t{127}, size_t{4133}}) {
                ASSERT_TRUE(copyMatches(count, 63 - shift, shift, stream));
            }
        }
    }
}
#endif

TEST(FastCopy, LargeCopyWithOddLengthAndAlignment) {
    EXPECT_TRUE(copyMatches((9u << 20) + 37, 5, 41));
    EXPECT_TRUE(copyMatches((12u << 20) + 37, 5, 41));
}

}  // namespace
