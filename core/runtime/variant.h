#pragma once

#include <cstdint>
#include <cstring>

#include "runtime/growable_array.h"
#include "runtime/ref_counted.h"
#include "text/shared_string.h"
#include "text/string_array.h"

namespace kwCore {

class Buffer;
struct VariantHolder;
struct VariantEntry;

// VariantKind numbers what a Variant holds.
enum VariantKind : uint32_t {
    jt_null = 0,
    jt_bool = 1,        // payload zero or non-zero
    jt_int = 2,         // signed 64-bit integer
    jt_float = 3,       // double
    jt_string = 4,      // SharedString characters, one reference held
    jt_array = 5,       // holder whose entries are the elements
    jt_map = 6,         // holder whose entries are the named members
    jt_blob = 7,        // holder whose object is a Buffer
    jt_guid = 8,        // holder whose guid holds 16 bytes
    jt_refcounted = 9,  // RefCounted object, one reference held
    jt_rawptr = 10,     // holder whose object is a caller's pointer, compared by address
    jt_boxed = 11,      // holder whose boxed value is the value referred to
};

// liveVariantCount and liveHolderCount count the Variant and VariantHolder
// objects in existence, process-wide, for tests and leak checks. They change
// only by atomicIncrement64/atomicDecrement64.
extern int64_t liveVariantCount;
extern int64_t liveHolderCount;

// Variant is the library's dynamically typed value: a kind, a 32-bit tag that
// travels with the value and a 64-bit payload. Copying shares: a string,
// object or holder gains one reference, so arrays, maps, blobs and boxes
// changed through one copy change for every copy. References are counted
// with interlocked operations, so values sharing a payload may be released
// on different threads; one Variant must not be used by two threads at once.
// A value must not contain itself (such a cycle is never released).
class Variant {
  public:
    // Variant is jt_null with tag 0.
    Variant() noexcept;
    Variant(const Variant& other) noexcept;
    // Variant(Variant&&) takes other's value and leaves other jt_null, tag 0.
    Variant(Variant&& other) noexcept;
    Variant& operator=(const Variant& other) noexcept;
    Variant& operator=(Variant&& other) noexcept;
    ~Variant();

    // Values of each kind, tag 0.
    static Variant fromBool(bool value) noexcept;
    static Variant fromInt(int64_t value) noexcept;
    static Variant fromFloat(double value) noexcept;
    static Variant fromString(const SharedString& text) noexcept;
    // newArray and newMap are empty; fill them with append.
    static Variant newArray();
    static Variant newMap();
    // fromBuffer makes a blob that owns buffer (deleted with the last copy);
    // null gives a blob without buffer.
    static Variant fromBuffer(Buffer* buffer);
    // fromBytes makes a blob holding a copy of length bytes.
    static Variant fromBytes(const void* data, int32_t length);
    // fromGuid makes an identifier from the 16 bytes at guid.
    static Variant fromGuid(const void* guid);
    // fromObject holds one reference to object (null gives jt_null).
    static Variant fromObject(RefCounted* object) noexcept;
    // fromPointer holds a caller's pointer, never dereferenced or freed.
    static Variant fromPointer(void* pointer);
    // box makes a jt_boxed value referring to a copy of value.
    static Variant box(const Variant& value);

    uint32_t kind() const noexcept { return kind_; }
    uint32_t tag() const noexcept { return tag_; }
    void setTag(uint32_t tag) noexcept { tag_ = tag; }
    // payload is the 64 payload bits: the number, or the pointer held.
    uint64_t payload() const noexcept {
        uint64_t bits;
        std::memcpy(&bits, static_cast<const void*>(&payload_), sizeof bits);
        return bits;
    }

    // The contents, read by kind; another kind reads as false, 0, the empty
    // text or null.
    bool asBool() const noexcept { return kind_ == jt_bool && payload_.bits != 0; }
    int64_t asInt() const noexcept { return kind_ == jt_int ? payload_.integer : 0; }
    double asFloat() const noexcept { return kind_ == jt_float ? payload_.real : 0.0; }
    const SharedString& asString() const noexcept;
    Buffer* blob() const noexcept;
    const uint8_t* guid() const noexcept;
    RefCounted* object() const noexcept {
        return kind_ == jt_refcounted ? payload_.object : nullptr;
    }
    void* pointer() const noexcept;
    // unboxed is the value at the end of a chain of boxes; this value itself
    // when it is no box.
    const Variant& unboxed() const noexcept;
    // holder is the VariantHolder of the kinds that have one, else null.
    VariantHolder* holder() const noexcept;

    // count is the number of elements of an array or members of a map; 0 for
    // other kinds.
    int32_t count() const noexcept;
    // entries are the elements or members (keys are null in arrays); null
    // for other kinds.
    VariantEntry* entries() const noexcept;
    // append adds value as the last element of an array; false (and nothing
    // added) for another kind.
    bool append(const Variant& value);
    // append adds a member named key as the last member of a map; false (and
    // nothing added) for another kind.
    bool append(const SharedString& key, const Variant& value);
    // find is the value of the first member named key of a map; null when
    // there is none or this is not a map.
    const Variant* find(const char* key) const noexcept;

    // clear releases what the value holds and makes it jt_null; the tag
    // becomes 0 unless keepTag.
    void clear(bool keepTag = false) noexcept;

    // compare orders any two values: -1, 0 or 1. Boxes compare as the values
    // in them; then the kind decides, then the tag (unsigned), then the
    // contents: false before true, numbers by value (a NaN equals every NaN
    // and follows every other double, so the order stays total), strings as
    // SharedString::compareTo, arrays and maps by count then entry by entry
    // (key, then value), blobs by size then bytes (no buffer first),
    // identifiers byte by byte, objects and pointers by address.
    static int compare(const Variant& a, const Variant& b) noexcept;

  private:
    union Payload {
        uint64_t bits;
        int64_t integer;
        double real;
        SharedString text;
        VariantHolder* holder;
        RefCounted* object;

        Payload() noexcept : bits(0) {}
        ~Payload() {}
    };
    static_assert(sizeof(Payload) == sizeof(uint64_t));

    static Variant withHolder(uint32_t kind, VariantHolder* holder) noexcept;
    // take moves other's fields into this null value, leaving other null.
    void take(Variant& other) noexcept;
    // release frees what kind and payload refer to.
    static void release(uint32_t kind, Payload& payload) noexcept;

    uint32_t kind_ = jt_null;
    uint32_t tag_ = 0;
    Payload payload_;
};

template <>
struct TriviallyRelocatable<Variant> : std::true_type {};

// VariantEntry is one element of an array (key null) or member of a map.
struct VariantEntry {
    SharedString key;
    Variant value;
};

template <>
struct TriviallyRelocatable<VariantEntry> : std::true_type {};

// VariantHolder is the reference-counted heap object behind the kinds from
// jt_array on (but jt_refcounted). It is freed when the last value holding
// it releases it; it then destroys its entries in order (each value before
// its key), deletes object when it owns it, and releases boxed.
struct VariantHolder {
    VariantHolder() noexcept;
    VariantHolder(const VariantHolder&) = delete;
    VariantHolder& operator=(const VariantHolder&) = delete;
    ~VariantHolder();

    // referenceCount counts the values holding this holder.
    int32_t referenceCount = 1;
    // entries are an array's elements or a map's members.
    GrowableArray<VariantEntry> entries;
    // object is a blob's Buffer or a jt_rawptr's pointer, or null.
    void* object = nullptr;
    // ownsObject is set when object is a Buffer to delete with the holder.
    bool ownsObject = false;
    // guid is an identifier's 16 bytes.
    uint8_t guid[16] = {};
    // boxed is the value a box refers to.
    Variant boxed;
};

// variantLessByInteger and entryLessByInteger order values, or entries by
// their values, by the payload read as a signed 64-bit integer, for sorting.
// They look at nothing else: not the kind, the tag or the key.
inline bool variantLessByInteger(const Variant& a, const Variant& b) noexcept {
    return static_cast<int64_t>(a.payload()) < static_cast<int64_t>(b.payload());
}
inline bool entryLessByInteger(const VariantEntry& a, const VariantEntry& b) noexcept {
    return variantLessByInteger(a.value, b.value);
}

}  // namespace kwCore
