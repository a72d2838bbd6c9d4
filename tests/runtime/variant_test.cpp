#include "runtime/variant.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <limits>
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

TEST_F(VariantTest, CopiesShareWhatTheyHoldAndMovesTakeIt) {
    const SharedString text("shared text");
    {
        Variant a = Variant::fromString(text);
        EXPECT_EQ(a.kind(), jt_string);
        EXPECT_EQ(text.blockInfo().refCount, 2);
        Variant b = a;
        EXPECT_EQ(text.blockInfo().refCount, 3);
        EXPECT_EQ(a.payload(), b.payload());  // the same characters, no copy

        Variant c = withTag(std::move(b), 9);
        EXPECT_EQ(b.kind(), jt_null);
        EXPECT_EQ(b.tag(), 0u);
        EXPECT_EQ(b.payload(), 0u);
        EXPECT_EQ(text.blockInfo().refCount, 3);
        EXPECT_TRUE(c.asString().equals("shared text"));

        c = a;  // assignment releases c's old reference
        a = a;
        EXPECT_EQ(text.blockInfo().refCount, 3);
    }
    EXPECT_EQ(text.blockInfo().refCount, 1);

    Variant array = Variant::newArray();
    Variant alias = array;
    EXPECT_EQ(array.holder(), alias.holder());
    EXPECT_EQ(array.holder()->referenceCount, 2);
    EXPECT_TRUE(alias.append(Variant::fromInt(7)));
    ASSERT_EQ(array.count(), 1);
    EXPECT_EQ(array.entries()[0].value.asInt(), 7);
    EXPECT_TRUE(array.entries()[0].key.isNull());
    EXPECT_TRUE(array.append(array.entries()[0].value));  // an element of the array itself
    EXPECT_EQ(alias.count(), 2);
    alias.clear();
    EXPECT_EQ(array.holder()->referenceCount, 1);
}

TEST_F(VariantTest, KindsReadBackAndRefuseOtherKindsOperations) {
    const uint8_t id[16] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
    int target = 0;
    const Variant guid = Variant::fromGuid(id);
    const Variant pointer = Variant::fromPointer(&target);
    EXPECT_TRUE(std::equal(id, id + 16, guid.guid()));
    EXPECT_EQ(pointer.pointer(), &target);
    EXPECT_EQ(pointer.kind(), jt_rawptr);
    EXPECT_TRUE(Variant::fromBool(true).asBool());
    EXPECT_EQ(Variant::fromInt(INT64_MIN).asInt(), INT64_MIN);
    EXPECT_EQ(Variant::fromFloat(-2.5).asFloat(), -2.5);
    EXPECT_EQ(Variant::fromObject(nullptr).kind(), jt_null);

    Variant map = Variant::newMap();
    Variant array = Variant::newArray();
    EXPECT_FALSE(map.append(Variant::fromInt(1)));
    EXPECT_FALSE(array.append("key", Variant::fromInt(1)));
    EXPECT_FALSE(guid.pointer() || pointer.guid() || array.find("key"));
    EXPECT_EQ(Variant::fromInt(3).count(), 0);
    EXPECT_EQ(Variant::fromInt(3).entries(), nullptr);
    EXPECT_EQ(Variant::fromInt(3).asFloat(), 0.0);
    EXPECT_TRUE(Variant::fromInt(3).asString().isEmpty());

    EXPECT_TRUE(map.append("a", Variant::fromInt(1)));
    EXPECT_TRUE(map.append("b", Variant::fromInt(2)));
    EXPECT_TRUE(map.append("a", Variant::fromInt(3)));
    ASSERT_NE(map.find("a"), nullptr);
    EXPECT_EQ(map.find("a")->asInt(), 1);  // the first of that name
    EXPECT_EQ(map.find("b")->asInt(), 2);
    EXPECT_EQ(map.find("c"), nullptr);

    const Variant boxed = Variant::box(Variant::box(Variant::fromInt(5)));
    EXPECT_EQ(boxed.kind(), jt_boxed);
    EXPECT_EQ(boxed.unboxed().asInt(), 5);
    EXPECT_EQ(&array.unboxed(), &array);
}

TEST_F(VariantTest, ClearReleasesAndKeepsTheTagOnlyWhenAsked) {
    const SharedString text("cleared");
    Variant v = withTag(Variant::fromString(text), 42);
    v.clear(true);
    EXPECT_EQ(v.kind(), jt_null);
    EXPECT_EQ(v.payload(), 0u);
    EXPECT_EQ(v.tag(), 42u);
    EXPECT_EQ(text.blockInfo().refCount, 1);

    v = withTag(Variant::newMap(), 42);
    v.clear(false);
    EXPECT_EQ(v.kind(), jt_null);
    EXPECT_EQ(v.tag(), 0u);
    v.clear();  // clearing a null value is harmless
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
    EXPECT_EQ(Variant::compare(Variant::fromBool(true), Variant::fromBool(true)), 0);

    const Variant nan = Variant::fromFloat(std::nan(""));
    EXPECT_EQ(Variant::compare(nan, Variant::fromFloat(std::nan(""))), 0);
    EXPECT_EQ(Variant::compare(nan, Variant::fromFloat(-1.0)), 0);
    EXPECT_EQ(Variant::compare(Variant::fromFloat(1.0), nan), 0);
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
    EXPECT_EQ(Variant::compare(map({}), Variant::newMap()), 0);

    // Arrays recurse into their elements.
    Variant a = Variant::newArray();
    Variant b = Variant::newArray();
    a.append(map({{"k", 1}}));
    b.append(map({{"k", 2}}));
    EXPECT_EQ(Variant::compare(a, b), -1);
    EXPECT_EQ(Variant::compare(b, a), 1);
    // An array and a map of the same entries differ by kind.
    EXPECT_EQ(Variant::compare(Variant::newArray(), Variant::newMap()), -1);
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
        EXPECT_EQ(copy.blob(), buffer);
        EXPECT_EQ(Variant::compare(blob, Variant::fromBytes("abc", 3)), 0);
        EXPECT_EQ(Variant::compare(blob, Variant::fromBytes("abd", 3)), -1);
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
    EXPECT_EQ(none.blob(), nullptr);
    ASSERT_NE(empty.blob(), nullptr);
    EXPECT_EQ(empty.blob()->size(), 0);
    EXPECT_EQ(Variant::compare(none, Variant::fromBuffer(nullptr)), 0);
    EXPECT_EQ(Variant::compare(none, empty), -1);  // no buffer comes before any buffer
    EXPECT_EQ(Variant::compare(empty, none), 1);
    EXPECT_EQ(Variant::compare(empty, Variant::fromBytes("", 0)), 0);
}

TEST_F(VariantTest, IdentifiersCompareUnsignedAndObjectsByAddress) {
    uint8_t low[16] = {};
    uint8_t high[16] = {};
    high[15] = 0xFF;
    EXPECT_EQ(Variant::compare(Variant::fromGuid(low), Variant::fromGuid(high)), -1);
    EXPECT_EQ(Variant::compare(Variant::fromGuid(high), Variant::fromGuid(low)), 1);
    EXPECT_EQ(Variant::compare(Variant::fromGuid(high), Variant::fromGuid(high)), 0);

    std::atomic<int> deletions{0};
    Counted objects[2] = {Counted(&deletions), Counted(&deletions)};
    objects[0].addReference();  // kept alive by the array, not by the values
    objects[1].addReference();
    EXPECT_EQ(Variant::compare(Variant::fromObject(&objects[0]), Variant::fromObject(&objects[1])),
              -1);
    EXPECT_EQ(Variant::compare(Variant::fromObject(&objects[1]), Variant::fromObject(&objects[1])),
              0);

    // Two pointer values compare by their holders: equal only as copies.
    int target = 0;
    const Variant pointer = Variant::fromPointer(&target);
    const Variant samePointer = Variant::fromPointer(&target);
    EXPECT_EQ(Variant::compare(pointer, Variant(pointer)), 0);
    const int expected = pointer.payload() < samePointer.payload() ? -1 : 1;
    EXPECT_EQ(Variant::compare(pointer, samePointer), expected);
}

TEST_F(VariantTest, SortingByIntegerLooksOnlyAtThePayload) {
    std::vector<Variant> values = {
        withTag(Variant::fromInt(3), 0),
        withTag(Variant::fromInt(-2), 7),
        withTag(Variant::fromInt(INT64_MAX), 1),
        withTag(Variant::fromInt(0), 5),
    };
    std::sort(values.begin(), values.end(), variantLessByInteger);
    const int64_t sorted[] = {-2, 0, 3, INT64_MAX};
    const uint32_t tags[] = {7, 5, 0, 1};
    for (size_t i = 0; i < values.size(); ++i) {
        EXPECT_EQ(values[i].asInt(), sorted[i]);
        EXPECT_EQ(values[i].tag(), tags[i]);  // each tag stays with its value
    }

    Variant map = Variant::newMap();
    map.append("a", Variant::fromInt(30));
    map.append("b", Variant::fromInt(-10));
    map.append("c", Variant::fromInt(20));
    std::sort(map.entries(), map.entries() + map.count(), entryLessByInteger);
    EXPECT_TRUE(map.entries()[0].key.equals("b"));
    EXPECT_TRUE(map.entries()[1].key.equals("c"));
    EXPECT_TRUE(map.entries()[2].key.equals("a"));
    EXPECT_EQ(map.entries()[2].value.asInt(), 30);
}

// Shared values copied and released on several threads at once.
struct SharedValues {
    Variant map;
    std::atomic<int>* deletions;
};

void copyAndRelease(void* argument) {
    auto* shared = static_cast<SharedValues*>(argument);
    for (int i = 0; i < 2000; ++i) {
        Variant copy = shared->map;
        Variant element = copy.entries()[i % copy.count()].value;
        Variant boxed = Variant::box(element);
        copy.clear();
    }
}

TEST_F(VariantTest, ValuesSharedBetweenThreadsAreReleasedOnce) {
    std::atomic<int> deletions{0};
    {
        SharedValues shared{Variant::newMap(), &deletions};
        shared.map.append("text", Variant::fromString("threads"));
        shared.map.append("object", Variant::fromObject(new Counted(&deletions)));
        shared.map.append("array", Variant::newArray());
        shared.map.find("array");
        testutil::runOnThreads(4, copyAndRelease, &shared);
        EXPECT_EQ(shared.map.holder()->referenceCount, 1);
        EXPECT_EQ(deletions.load(), 0);
    }
    EXPECT_EQ(deletions.load(), 1);
}

}  // namespace
}  // namespace kwCore
