#include <cmath>

#include "buffer/buffer.h"
#include "runtime/compare.h"
#include "runtime/variant.h"

namespace kwCore {

namespace {

template <typename T>
int threeWay(T a, T b) noexcept {
    return a < b ? -1 : (b < a ? 1 : 0);
}

// compareReals orders doubles by value. NaN, which no ordinary comparison
// places, equals NaN and follows every number: were it equal to every number,
// as the comparisons alone make it, the order would not be transitive and
// sorting by it would be undefined.
int compareReals(double a, double b) noexcept {
    const bool aIsNaN = std::isnan(a);
    const bool bIsNaN = std::isnan(b);
    if (aIsNaN || bIsNaN) {
        return threeWay(aIsNaN, bIsNaN);
    }
    return threeWay(a, b);
}

int compareEntries(const GrowableArray<VariantEntry>& a,
                   const GrowableArray<VariantEntry>& b) noexcept {
    if (a.count() != b.count()) {
        return a.count() < b.count() ? -1 : 1;
    }
    for (int32_t i = 0; i < a.count(); ++i) {
        if (const int keys = a[i].key.compareTo(b[i].key); keys != 0) {
            return keys;
        }
        if (const int values = Variant::compare(a[i].value, b[i].value); values != 0) {
            return values;
        }
    }
    return 0;
}

// compareBlobs orders blobs by their buffers; no buffer comes first.
int compareBlobs(const Buffer* a, const Buffer* b) {
    if (a == nullptr || b == nullptr) {
        return threeWay(a != nullptr, b != nullptr);
    }
    return Buffer::compare(*a, *b);
}

}  // namespace

int Variant::compare(const Variant& first, const Variant& second) noexcept {
    const Variant* a = &first;
    const Variant* b = &second;
    for (;;) {
        if (a == b) {
            return 0;
        }
        if (a->kind_ == jt_boxed) {
            a = &a->payload_.holder->boxed;
            if (b->kind_ == jt_boxed) {
                b = &b->payload_.holder->boxed;
            }
        } else if (b->kind_ == jt_boxed) {
            b = &b->payload_.holder->boxed;
        } else {
            break;
        }
    }
    if (a->kind_ != b->kind_) {
        return a->kind_ < b->kind_ ? -1 : 1;
    }
    if (a->tag_ != b->tag_) {
        return a->tag_ < b->tag_ ? -1 : 1;
    }
    switch (a->kind_) {
        case jt_bool:
            return threeWay(a->payload_.bits != 0, b->payload_.bits != 0);
        case jt_int:
            return threeWay(a->payload_.integer, b->payload_.integer);
        case jt_float:
            return compareReals(a->payload_.real, b->payload_.real);
        case jt_string:
            return a->payload_.text.compareTo(b->payload_.text);
        case jt_array:
        case jt_map:
            return compareEntries(a->payload_.holder->entries, b->payload_.holder->entries);
        case jt_blob:
            return compareBlobs(static_cast<const Buffer*>(a->payload_.holder->object),
                                static_cast<const Buffer*>(b->payload_.holder->object));
        case jt_guid:
            return compare16(a->payload_.holder->guid, b->payload_.holder->guid);
        case jt_refcounted:
        case jt_rawptr:
            return threeWay(a->payload(), b->payload());
        default:
            return 0;
    }
}

}  // namespace kwCore
