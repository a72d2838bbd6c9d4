#include "runtime/fast_copy_methods.h"

#include <gtest/gtest.h>

#include "processor_features.h"

namespace kwCore {
namespace {

#if defined(__x86_64__) && defined(__SSE2__)
// The 32- and 64-byte moves are taken exactly where the processor has them
// and the system saves their registers: elsewhere they would stop on an
// illegal instruction. The repeated byte move, which every processor has,
// is taken where the processor marks it fast. Run under emulated processor
// models too (label qemu).
TEST(FastCopyMethods, EachIsAvailableExactlyWhereTheProcessorHasItsFeatures) {
    const testutil::ProcessorFeatures f = testutil::ProcessorFeatures::read();
    EXPECT_EQ(detail::wideMovesAvailable(), f.avx) << f.describe();
    EXPECT_EQ(detail::widestMovesAvailable(), f.avx512f) << f.describe();
    EXPECT_EQ(detail::repeatedMovesFast(), f.erms) << f.describe();
}
#endif

}  // namespace
}  // namespace kwCore
