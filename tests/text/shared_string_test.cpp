#include "text/shared_string.h"

#include <gtest/gtest.h>

#include <cstring>
#include <new>
#include <string>
#include <thread>
#include <vector>

namespace kwCore {
namespace {

int32_t refs(const SharedString& s) {
    return s.blockInfo().refCount;
}
int32_t capacity(const SharedString& s) {
    return s.blockInfo().capacity;
}

TEST(SharedStringTest, EmptyTextsAreTheNullHandle) {
    SharedString fromEmpty("");
    SharedString fromNull(static_cast<const char*>(nullptr));
    SharedString assigned("x");
    assigned.assign("");
    for (const SharedString* s : {&fromEmpty, &fromNull, &assigned}) {
        EXPECT_TRUE(s->isNull());
        EXPECT_EQ(s->getLength(), 0);
        EXPECT_STREQ(s->cStr(), "");
        EXPECT_EQ(s->charAt(0), '\0');
    }
}

TEST(SharedStringTest, BlocksFollowTheSizingRule) {
    SharedString abc("abc");
    EXPECT_EQ(capacity(abc), 4);  // 16-byte block
    EXPECT_EQ(abc.blockInfo().cachedLength, 3);
    EXPECT_EQ(capacity(SharedString('x')), 4);

    abc.appendChar('d');
    EXPECT_EQ(capacity(abc), 20);  // 32-byte block
    while (abc.getLength() < 19)
        abc.appendChar('.');
    EXPECT_EQ(capacity(abc), 20);
    abc.appendChar('!');           // the seventeenth appended character
    EXPECT_EQ(capacity(abc), 36);  // 48-byte block
    EXPECT_EQ(abc.getLength(), 20);

    SharedString room;
    room.writeBuffer(256);
    EXPECT_EQ(capacity(room), 260);
    room.writeBuffer(512);
    EXPECT_EQ(capacity(room), 516);
    room.writeBuffer(-7);  // never shrinks
    EXPECT_EQ(capacity(room), 516);
    SharedString small;
    small.writeBuffer(-1);
    EXPECT_EQ(capacity(small), 4);
}

TEST(SharedStringTest, CopiesShareUntilOneChanges) {
    SharedString a("hello");
    SharedString b(a);
    EXPECT_EQ(a.cStr(), b.cStr());
    EXPECT_EQ(refs(a), 2);
    b.appendChar('!');
    EXPECT_STREQ(a.cStr(), "hello");
    EXPECT_STREQ(b.cStr(), "hello!");
    EXPECT_EQ(refs(a), 1);
    EXPECT_EQ(refs(b), 1);

    SharedString c(a);
    c.makeUnique();
    EXPECT_NE(c.cStr(), a.cStr());
    EXPECT_EQ(capacity(c), capacity(a));
    EXPECT_STREQ(c.cStr(), "hello");

    SharedString d(a);
    d.remove(0, 1);
    EXPECT_STREQ(a.cStr(), "hello");
    EXPECT_STREQ(d.cStr(), "ello");
}

TEST(SharedStringTest, AssignmentKeepsSharedBlocksAlive) {
    SharedString a("text");
    SharedString b(a);
    b = a;  // same block on both sides
    EXPECT_EQ(refs(a), 2);
    const SharedString& self = b;
    b = self;  // assignment to itself
    EXPECT_STREQ(b.cStr(), "text");
    b.reset();
    EXPECT_TRUE(b.isNull());
    EXPECT_EQ(refs(a), 1);

    SharedString moved(std::move(a));
    EXPECT_TRUE(a.isNull());  // NOLINT(bugprone-use-after-move)
    EXPECT_STREQ(moved.cStr(), "text");
}

TEST(SharedStringTest, AssignFromOwnCharacters) {
    SharedString s("abcdef");
    s.assign(s.cStr() + 2);
    EXPECT_STREQ(s.cStr(), "cdef");
    s.assign(s.cStr());  // the very pointer: nothing happens
    EXPECT_STREQ(s.cStr(), "cdef");
}

TEST(SharedStringTest, AppendToItself) {
    SharedString s("ab");
    s.append(s);
    EXPECT_STREQ(s.cStr(), "abab");
    EXPECT_EQ(s.getLength(), 4);

    // Long enough that the block must move when it grows.
    std::string expected(300, 'q');
    SharedString big(expected.c_str());
    big.append(big);
    EXPECT_EQ(std::string(big.cStr()), expected + expected);

    SharedString shared("xyz");
    SharedString other(shared);
    shared.append(other);
    EXPECT_STREQ(shared.cStr(), "xyzxyz");
    EXPECT_STREQ(other.cStr(), "xyz");

    SharedString inner("hello");
    inner.append(inner.cStr() + 3);
    EXPECT_STREQ(inner.cStr(), "hellolo");
    SharedString grow(expected.c_str());
    grow.append(grow.cStr());
    EXPECT_EQ(std::string(grow.cStr()), expected + expected);
}

TEST(SharedStringTest, AppendForms) {
    SharedString s;
    s.append("");
    EXPECT_TRUE(s.isNull());
    s.append(SharedString());
    EXPECT_TRUE(s.isNull());
    SharedString source("abc");
    s.append(source);  // a null handle shares the other's block
    EXPECT_EQ(s.cStr(), source.cStr());
    s.append("de");
    EXPECT_STREQ(s.cStr(), "abcde");
    EXPECT_STREQ(source.cStr(), "abc");
    EXPECT_EQ(s.blockInfo().cachedLength, 5);
    s.appendChar('\0');  // a NUL byte counts as a character
    EXPECT_EQ(s.getLength(), 6);
}

TEST(SharedStringTest, RemoveClampsItsRange) {
    struct Case {
        int32_t index, count;
        const char* expected;
    };
    const Case cases[] = {
        {-2, 5, "def"},      {4, 100, "abcd"},
        {6, 1, "abcdef"},    {2, 0, "abcdef"},
        {2, -3, "abcdef"},   {-9, 5, "abcdef"},
        {1, INT32_MAX, "a"}, {0, 6, ""},
        {7, 2, "abcdef"},    {INT32_MAX, INT32_MAX, "abcdef"},
    };
    for (const Case& c : cases) {
        SharedString s("abcdef");
        s.remove(c.index, c.count);
        EXPECT_STREQ(s.cStr(), c.expected) << c.index << "," << c.count;
        EXPECT_EQ(s.getLength(), static_cast<int32_t>(std::strlen(c.expected)));
    }
    SharedString all("abc");
    all.remove(0, 3);
    EXPECT_FALSE(all.isNull());  // the empty block, not the null handle
    SharedString none;
    none.remove(0, 1);
    EXPECT_TRUE(none.isNull());
}

TEST(SharedStringTest, MidClampsAndDistinguishesNull) {
    SharedString s("abc");
    EXPECT_STREQ(s.mid(1, 100).cStr(), "bc");
    EXPECT_EQ(s.mid(1, 100).blockInfo().cachedLength, 2);
    SharedString empty = s.mid(3, 1);
    EXPECT_FALSE(empty.isNull());
    EXPECT_EQ(empty.getLength(), 0);
    EXPECT_TRUE(s.mid(4, 1).isNull());
    EXPECT_TRUE(s.mid(1, -1).isNull());
    EXPECT_STREQ(s.left(2).cStr(), "ab");
    EXPECT_TRUE(SharedString().mid(0, 1).isNull());
    EXPECT_STREQ(s.mid(-1, 2).cStr(), "a");  // a negative start never reads before the text
}

TEST(SharedStringTest, StripTrailingBackslashes) {
    SharedString drive("D:\\\\");
    drive.stripTrailingBackslashes();
    EXPECT_STREQ(drive.cStr(), "D:");
    SharedString only("\\\\");
    only.stripTrailingBackslashes();
    EXPECT_FALSE(only.isNull());
    EXPECT_EQ(only.getLength(), 0);
    SharedString middle("a\\b");
    SharedString copy(middle);
    middle.stripTrailingBackslashes();
    EXPECT_STREQ(middle.cStr(), "a\\b");
    EXPECT_EQ(middle.cStr(), copy.cStr());  // untouched, not copied
}

TEST(SharedStringTest, CompareToIsSignedBytewise) {
    EXPECT_EQ(SharedString("a").compareTo(SharedString("b")), -1);
    EXPECT_EQ(SharedString("ab").compareTo(SharedString("a")), 1);
    EXPECT_EQ(SharedString("a").compareTo(SharedString("ab")), -1);
    EXPECT_EQ(SharedString("\xE9").compareTo(SharedString("A")), -1);
    EXPECT_EQ(SharedString("same").compareTo(SharedString("same")), 0);
    SharedString emptyBlock("x");
    emptyBlock.remove(0, 1);
    EXPECT_EQ(SharedString().compareTo(emptyBlock), 0);
    EXPECT_EQ(emptyBlock.compareTo(SharedString()), 0);
    EXPECT_EQ(SharedString().compareTo(SharedString("a")), -1);
    EXPECT_EQ(SharedString("a").compareTo(SharedString()), 1);
    EXPECT_EQ(compareText(nullptr, ""), 0);
}

TEST(SharedStringTest, EqualsIsExact) {
    SharedString toc("-toc");
    EXPECT_TRUE(toc.equals("-toc"));
    for (const char* other : {"-tocstart", "-TOC", "-to", ""}) {
        EXPECT_FALSE(toc.equals(other)) << other;
    }
    EXPECT_TRUE(SharedString().equals(""));
    EXPECT_FALSE(SharedString().equals("a"));
}

TEST(SharedStringTest, CharAtOutsideTheTextIsNul) {
    SharedString s("ab");
    EXPECT_EQ(s.charAt(1), 'b');
    EXPECT_EQ(s.charAt(2), '\0');
    EXPECT_EQ(s.charAt(-1), '\0');
}

TEST(SharedStringTest, WriteBufferKeepsTextAndDefersLength) {
    SharedString s("abc");
    char* p = s.writeBuffer(2);
    EXPECT_STREQ(p, "abc");
    EXPECT_EQ(s.blockInfo().cachedLength, -1);
    p[1] = '\0';
    EXPECT_EQ(s.getLength(), 1);
    EXPECT_EQ(s.blockInfo().cachedLength, 1);
}

TEST(SharedStringTest, OversizedRequestsFailLikeHeapExhaustion) {
    SharedString s("abc");
    EXPECT_THROW(s.writeBuffer(SharedString::kMaxRoom + 1), std::bad_alloc);
    EXPECT_THROW(s.writeBuffer(INT32_MAX), std::bad_alloc);
    EXPECT_STREQ(s.cStr(), "abc");  // nothing lost
}

TEST(SharedStringTest, ConcurrentCopiesFreeTheBlockOnce) {
    SharedString shared("shared between threads");
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&shared] {
            for (int i = 0; i < 20000; ++i) {
                SharedString copy(shared);
                SharedString again;
                again = copy;
                EXPECT_EQ(again.getLength(), 22);
            }
        });
    }
    for (std::thread& t : threads)
        t.join();
    EXPECT_EQ(refs(shared), 1);
}

}  // namespace
}  // namespace kwCore
