#include "runtime/variant.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <vector>

#include "buffer/buffer.h"
#include "thread/run_on_threads.h"

namespace kwCore {
namespace {

int64_t liveVariants() {
    return std::atomic_ref<int64_t>(liveVariantCount).load();
}
int64_t liveHolders() {
    return std::atomic_ref<int64_t>(liveHolderCount).load();
}

// Every case must leave the live counts where it found them.
class VariantTest : public ::testing::Test {
  protected:
    void SetUp() override {
        variantsBefore = liveVariants();
        holdersBefore = liveHolders();
    }
    void TearDown() override {
        EXPECT_EQ(liveVariants(), variantsBefore);
        EXPECT_EQ(liveHolders(), holdersBefore);
    }
    int64_t variantsBefore = 0;
    int64_t holdersBefore = 0;
};

// Counted counts its destructor runs.
class Counted : public RefCounted {
  public:
    explicit Counted(std::atomic<int>* deletions) : deletions(deletions) {}
    ~Counted() override { deletions->fetch_add(1); }
    std::atomic<int>* deletions;
};

// SelfReferencing takes and drops a reference to itself while it is being
// destroyed, as an object does whose members refer back to it.
class SelfReferencing : public Counted {
  public:
    using Counted::Counted;
    ~SelfReferencing() override {
        Variant self = Variant::fromObject(this);
        self.clear();
    }
};

Variant withTag(Variant v, uint32_t tag) {
    v.setTag(tag);
    return v;
}

TEST_F(VariantTest, CopiesShareMovesTakeAndClearReleases) {
    const SharedString text("shared text");
    {
        Variant a = withTag(Variant::fromString(text), 42);
        Variant b = a;
        EXPECT_EQ(text.blockInfo().refCount, 3);
        EXPECT_EQ(a.payload(), b.payload());  // the same characters, no copy
        Variant c = std::move(b);
        EXPECT_EQ(b.kind(), jt_null);
        EXPECT_EQ(b.tag(), 0u);
        EXPECT_EQ(c.tag(), 42u);
        c = a;  // assignment releases c's old reference
        const Variant& self = a;
        a = self;  // assignment to itself keeps the reference
        EXPECT_EQ(text.blockInfo().refCount, 3);
        a.clear(true);
        EXPECT_EQ(a.kind(), jt_null);
        EXPECT_EQ(a.payload(), 0u);
        EXPECT_EQ(a.tag(), 42u);
        c.clear(false);
        EXPECT_EQ(c.tag(), 0u);
        EXPECT_EQ(text.blockInfo().refCount, 1);
    }

    // Arrays are shared, not copied: a change shows through every copy.
    Variant array = Variant::newArray();
    Variant alias = array;
    EXPECT_TRUE(alias.append(Variant::fromInt(7)));
    EXPECT_TRUE(array.append(array.entries()[0].value));  // an element of the array itself
    EXPECT_EQ(array.count(), 2);
    EXPECT_EQ(array.entries()[1].value.asInt(), 7);
    EXPECT_EQ(array.holder()->referenceCount, 2);
    EXPECT_FALSE(array.append("key", Variant::fromInt(1)));  // keys belong to maps

    Variant map = Variant::newMap();
    EXPECT_FALSE(map.append(Variant::fromInt(1)));
    map.append("a", Variant::fromInt(1));
    map.append("a", Variant::fromInt(2));
    EXPECT_EQ(map.find("a")->asInt(), 1);  // the first of that name
    EXPECT_EQ(map.find("b"), nullptr);
    EXPECT_EQ(array.find("a"), nullptr);
    EXPECT_EQ(Variant::box(Variant::box(Variant::fromInt(5))).unboxed().asInt(), 5);
}

TEST_F(VariantTest, HoldersReleaseEntriesObjectsAndBoxesWithTheLastReference) {
    std::atomic<int> deletions{0};
    const SharedString key("key");
    {
        Variant inner = Variant::newArray();
        inner.append(Variant::fromObject(new Counted(&deletions)));
        Variant map = Variant::newMap();
        map.append(key, inner);
        map.append(key, Variant::box(inner));
        inner.clear();
        EXPECT_EQ(key.blockInfo().refCount, 3);
        EXPECT_EQ(liveHolders(), holdersBefore + 3);
        Variant copy = map;
        map.clear();
        EXPECT_EQ(deletions.load(), 0);  // copy still holds everything
    }
    EXPECT_EQ(deletions.load(), 1);
    EXPECT_EQ(key.blockInfo().refCount, 1);
}

TEST_F(VariantTest, ObjectIsDeletedOnceEvenWhenItsDestructorReferencesIt) {
    std::atomic<int> deletions{0};
    auto* object = new SelfReferencing(&deletions);
    Variant a = Variant::fromObject(object);
    Variant b = a;
    EXPECT_EQ(object->references(), 2);
    a.clear();
    EXPECT_EQ(deletions.load(), 0);
    b.clear();
    EXPECT_EQ(deletions.load(), 1);
}

TEST_F(VariantTest, CompareOrdersKindsThenTagsThenContents) {
    const std::vector<Variant> ascending = {
        Variant(),
        Variant::fromBool(false),
        Variant::fromBool(true),
        Variant::fromInt(INT64_MIN),
        Variant::fromInt(-1),
        Variant::fromInt(1),
        withTag(Variant::fromInt(-5), 1),
        withTag(Variant::fromInt(-5), 0x80000000u),  // tags compare unsigned
        Variant::fromFloat(-1e300),
        Variant::fromFloat(0.5),
        Variant::fromString("\x80"),  // string bytes compare signed
        Variant::fromString("a"),
        Variant::fromString("ab"),
        Variant::newArray(),
    };
    for (size_t i = 0; i < ascending.size(); ++i) {
        for (size_t j = 0; j < ascending.size(); ++j) {
            const int expected = i < j ? -1 : (i > j ? 1 : 0);
            EXPECT_EQ(Variant::compare(ascending[i], ascending[j]), expected) << i << " vs " << j;
        }
    }

    const Variant nan = Variant::fromFloat(std::nan(""));
    EXPECT_EQ(Variant::compare(nan, Variant::fromFloat(std::nan(""))), 0);
    // NaN follows every number, so the order stays transitive.
    EXPECT_EQ(Variant::compare(nan, Variant::fromFloat(-1.0)), 1);
    EXPECT_EQ(Variant::compare(Variant::fromFloat(HUGE_VAL), nan), -1);
    EXPECT_EQ(Variant::compare(nan, Variant::fromInt(0)), 1);  // the kind still decides
}

TEST_F(VariantTest, BoxesCompareAsTheValueInsideOnEitherSide) {
    const Variant five = withTag(Variant::fromInt(5), 3);
    const Variant boxedFive = withTag(Variant::box(five), 99);  // the box's own tag is passed over
    const Variant twiceBoxedSix = Variant::box(Variant::box(withTag(Variant::fromInt(6), 3)));
    EXPECT_EQ(Variant::compare(boxedFive, five), 0);
    EXPECT_EQ(Variant::compare(five, boxedFive), 0);
    EXPECT_EQ(Variant::compare(boxedFive, twiceBoxedSix), -1);
    EXPECT_EQ(Variant::compare(twiceBoxedSix, five), 1);
    EXPECT_EQ(Variant::compare(Variant::box(Variant()), Variant::fromBool(false)), -1);
    EXPECT_EQ(Variant::compare(Variant::box(five), withTag(Variant::fromInt(5), 4)), -1);
}

TEST_F(VariantTest, CollectionsCompareByCountThenKeysThenValues) {
    auto map = [](std::initializer_list<std::pair<const char*, int64_t>> members) {
        Variant m = Variant::newMap();
        for (const auto& [key, value] : members) {
            m.append(key, Variant::fromInt(value));
        }
        return m;
    };
    EXPECT_EQ(Variant::compare(map({{"z", 9}, {"z", 9}}), map({{"a", 0}, {"a", 0}, {"a", 0}})), -1);
    EXPECT_EQ(Variant::compare(map({{"a", 9}, {"b", 1}}), map({{"a", 9}, {"c", 0}})), -1);
    EXPECT_EQ(Variant::compare(map({{"a", 9}, {"b", 2}}), map({{"a", 9}, {"b", 1}})), 1);
    EXPECT_EQ(Variant::compare(map({{"a", 1}, {"b", 2}}), map({{"a", 1}, {"b", 2}})), 0);

    // Arrays compare their elements recursively.
    Variant a = Variant::newArray();
    Variant b = Variant::newArray();
    a.append(map({{"k", 1}}));
    b.append(map({{"k", 2}}));
    EXPECT_EQ(Variant::compare(b, a), 1);
}

// TrackedBuffer says when it is destroyed.
class TrackedBuffer : public Buffer {
  public:
    explicit TrackedBuffer(bool* destroyed) : destroyed(destroyed) {}
    ~TrackedBuffer() override { *destroyed = true; }
    bool* destroyed;
};

TEST_F(VariantTest, BlobsOwnTheirBufferAndCompareBySizeThenBytes) {
    bool destroyed = false;
    {
        auto* buffer = new TrackedBuffer(&destroyed);
        buffer->append("abc", 3);
        const Variant blob = Variant::fromBuffer(buffer);
        Variant copy = blob;
        EXPECT_EQ(Variant::compare(blob, Variant::fromBytes("abc", 3)), 0);
        copy.clear();
        EXPECT_FALSE(destroyed);
    }
    EXPECT_TRUE(destroyed);

    const Variant shortHigh = Variant::fromBytes("\x7A\x7A\x7A", 3);
    const Variant longLow = Variant::fromBytes("\x61\x61\x61\x61", 4);
    EXPECT_EQ(Variant::compare(shortHigh, longLow), -1);  // size decides before bytes
    EXPECT_EQ(Variant::compare(longLow, shortHigh), 1);
    EXPECT_EQ(Variant::compare(Variant::fromBytes("\x80", 1), Variant::fromBytes("\x7F", 1)), 1);

    const Variant none = Variant::fromBuffer(nullptr);
    const Variant empty = Variant::fromBytes(nullptr, 0);
    EXPECT_EQ(Variant::compare(none, Variant::fromBuffer(nullptr)), 0);
    EXPECT_EQ(Variant::compare(none, empty), -1);  // no buffer comes before any buffer
    EXPECT_EQ(Variant::compare(empty, none), 1);
}

TEST_F(VariantTest, IdentifiersCompareUnsignedAndObjectsByAddress) {
    uint8_t low[16] = {};
    uint8_t high[16] = {};
    high[15] = 0xFF;  // only the last byte differs
    EXPECT_EQ(Variant::compare(Variant::fromGuid(low), Variant::fromGuid(high)), -1);
    EXPECT_EQ(Variant::compare(Variant::fromGuid(high), Variant::fromGuid(low)), 1);

    std::atomic<int> deletions{0};
    Counted objects[2] = {Counted(&deletions), Counted(&deletions)};
    objects[0].addReference();  // owned by the array, never deleted by a value
    objects[1].addReference();
    const Variant first = Variant::fromObject(&objects[0]);
    EXPECT_EQ(Variant::compare(first, Variant::fromObject(&objects[1])), -1);
    EXPECT_EQ(Variant::compare(first, Variant::fromObject(&objects[0])), 0);

    // Pointer values compare by their holders: equal only as copies.
    int target = 0;
    const Variant pointer = Variant::fromPointer(&target);
    EXPECT_EQ(pointer.pointer(), &target);
    EXPECT_EQ(Variant::compare(pointer, Variant(pointer)), 0);
    EXPECT_NE(Variant::compare(pointer, Variant::fromPointer(&target)), 0);
}

TEST_F(VariantTest, SortingByIntegerLooksOnlyAtThePayload) {
    std::vector<Variant> values = {Variant::fromInt(3), withTag(Variant::fromInt(-2), 7),
                                   Variant::fromInt(INT64_MAX), withTag(Variant::fromInt(0), 5)};
    std::sort(values.begin(), values.end(), variantLessByInteger);
    EXPECT_EQ(values[0].asInt(), -2);
    EXPECT_EQ(values[0].tag(), 7u);
    EXPECT_EQ(values[1].asInt(), 0);
    EXPECT_EQ(values[3].asInt(), INT64_MAX);

    Variant map = Variant::newMap();
    map.append("a", Variant::fromInt(30));
    map.append("b", Variant::fromInt(-10));
    map.append("c", Variant::fromInt(20));
    std::sort(map.entries(), map.entries() + map.count(), entryLessByInteger);
    EXPECT_TRUE(map.entries()[0].key.equals("b"));
    EXPECT_TRUE(map.entries()[2].key.equals("a"));
    EXPECT_EQ(map.entries()[2].value.asInt(), 30);
}

// Each thread takes its own copy of one shared map, copies and releases
// parts of it, then releases its copy: the last thread to finish frees it all.
constexpr int kThreads = 4;

struct ThreadCopies {
    Variant copies[kThreads];
    std::atomic<int> next{0};
};

void copyAndRelease(void* argument) {
    auto* threads = static_cast<ThreadCopies*>(argument);
    Variant mine = std::move(threads->copies[threads->next.fetch_add(1)]);
    for (int i = 0; i < 2000; ++i) {
        const Variant element = mine.entries()[i % mine.count()].value;
        Variant boxed = Variant::box(element);
        Variant again = mine;
    }
}

TEST_F(VariantTest, ValuesSharedBetweenThreadsAreReleasedOnce) {
    std::atomic<int> deletions{0};
    ThreadCopies threads;
    {
        Variant map = Variant::newMap();
        map.append("text", Variant::fromString("threads"));
        map.append("object", Variant::fromObject(new Counted(&deletions)));
        map.append("blob", Variant::fromBytes("bytes", 5));
        for (Variant& copy : threads.copies) {
            copy = map;
        }
    }
    testutil::runOnThreads(kThreads, copyAndRelease, &threads);
    EXPECT_EQ(deletions.load(), 1);
    EXPECT_EQ(liveHolders(), holdersBefore);
}

}  // namespace
}  // namespace kwCore
