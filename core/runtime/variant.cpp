#include "runtime/variant.h"

#include <memory>
#include <new>

#include "buffer/buffer.h"
#include "thread/interlocked.h"

namespace kwCore {

int64_t liveVariantCount = 0;

namespace {

// hasHolder tells whether values of kind keep their payload in a VariantHolder.
constexpr bool hasHolder(uint32_t kind) noexcept {
    return kind >= jt_array && kind <= jt_boxed && kind != jt_refcounted;
}

const SharedString emptyText;

}  // namespace

Variant::Variant() noexcept {
    atomicIncrement64(&liveVariantCount);
}

Variant::Variant(const Variant& other) noexcept : Variant() {
    kind_ = other.kind_;
    tag_ = other.tag_;
    if (kind_ == jt_string) {
        std::construct_at(&payload_.text, other.payload_.text);
    } else if (kind_ == jt_refcounted) {
        payload_.object = other.payload_.object;
        payload_.object->addReference();
    } else if (hasHolder(kind_)) {
        payload_.holder = other.payload_.holder;
        interlockedIncrement(&payload_.holder->referenceCount);
    } else {
        payload_.bits = other.payload();
    }
}

Variant::Variant(Variant&& other) noexcept : Variant() {
    take(other);
}

Variant& Variant::operator=(const Variant& other) noexcept {
    if (this != &other) {
        Variant copy(other);
        clear();
        take(copy);
    }
    return *this;
}

Variant& Variant::operator=(Variant&& other) noexcept {
    if (this != &other) {
        clear();
        take(other);
    }
    return *this;
}

Variant::~Variant() {
    atomicDecrement64(&liveVariantCount);
    clear();
}

void Variant::take(Variant& other) noexcept {
    // Every payload is one word owning what it refers to: moving the bits
    // moves the ownership.
    std::memcpy(static_cast<void*>(&payload_), static_cast<const void*>(&other.payload_),
                sizeof payload_);
    kind_ = other.kind_;
    tag_ = other.tag_;
    other.payload_.bits = 0;
    other.kind_ = jt_null;
    other.tag_ = 0;
}

void Variant::clear(bool keepTag) noexcept {
    // The value is null before anything is released, so a destructor run by
    // the release that reaches this value again finds nothing to release.
    Payload held;
    std::memcpy(static_cast<void*>(&held), static_cast<const void*>(&payload_), sizeof held);
    const uint32_t heldKind = kind_;
    kind_ = jt_null;
    payload_.bits = 0;
    if (!keepTag) {
        tag_ = 0;
    }
    release(heldKind, held);
}

void Variant::release(uint32_t kind, Payload& payload) noexcept {
    if (kind == jt_string) {
        std::destroy_at(&payload.text);
    } else if (kind == jt_refcounted) {
        if (payload.object != nullptr) {
            payload.object->release();
        }
    } else if (hasHolder(kind)) {
        VariantHolder* holder = payload.holder;
        if (holder != nullptr && interlockedDecrement(&holder->referenceCount) == 0) {
            delete holder;
        }
    }
}

Variant Variant::fromBool(bool value) noexcept {
    Variant v;
    v.kind_ = jt_bool;
    v.payload_.bits = value ? 1 : 0;
    return v;
}

Variant Variant::fromInt(int64_t value) noexcept {
    Variant v;
    v.kind_ = jt_int;
    v.payload_.integer = value;
    return v;
}

Variant Variant::fromFloat(double value) noexcept {
    Variant v;
    v.kind_ = jt_float;
    v.payload_.real = value;
    return v;
}

Variant Variant::fromString(const SharedString& text) noexcept {
    Variant v;
    v.kind_ = jt_string;
    std::construct_at(&v.payload_.text, text);
    return v;
}

Variant Variant::withHolder(uint32_t kind, VariantHolder* holder) noexcept {
    Variant v;
    v.kind_ = kind;
    v.payload_.holder = holder;
    return v;
}

Variant Variant::newArray() {
    return withHolder(jt_array, new VariantHolder);
}

Variant Variant::newMap() {
    return withHolder(jt_map, new VariantHolder);
}

Variant Variant::fromBuffer(Buffer* buffer) {
    auto* holder = new VariantHolder;
    holder->object = buffer;
    holder->ownsObject = true;
    return withHolder(jt_blob, holder);
}

Variant Variant::fromBytes(const void* data, int32_t length) {
    auto buffer = std::make_unique<Buffer>();
    if (length > 0 && buffer->append(data, length) != length) {
        throw std::bad_alloc();  // the system had no block to give
    }
    return fromBuffer(buffer.release());
}

Variant Variant::fromGuid(const void* guid) {
    auto* holder = new VariantHolder;
    std::memcpy(holder->guid, guid, sizeof holder->guid);
    return withHolder(jt_guid, holder);
}

Variant Variant::fromObject(RefCounted* object) noexcept {
    Variant v;
    if (object != nullptr) {
        object->addReference();
        v.kind_ = jt_refcounted;
        v.payload_.object = object;
    }
    return v;
}

Variant Variant::fromPointer(void* pointer) {
    auto* holder = new VariantHolder;
    holder->object = pointer;
    return withHolder(jt_rawptr, holder);
}

Variant Variant::box(const Variant& value) {
    auto* holder = new VariantHolder;
    holder->boxed = value;
    return withHolder(jt_boxed, holder);
}

const SharedString& Variant::asString() const noexcept {
    return kind_ == jt_string ? payload_.text : emptyText;
}

Buffer* Variant::blob() const noexcept {
    return kind_ == jt_blob ? static_cast<Buffer*>(payload_.holder->object) : nullptr;
}

const uint8_t* Variant::guid() const noexcept {
    return kind_ == jt_guid ? payload_.holder->guid : nullptr;
}

void* Variant::pointer() const noexcept {
    return kind_ == jt_rawptr ? payload_.holder->object : nullptr;
}

const Variant& Variant::unboxed() const noexcept {
    const Variant* v = this;
    while (v->kind_ == jt_boxed) {
        v = &v->payload_.holder->boxed;
    }
    return *v;
}

VariantHolder* Variant::holder() const noexcept {
    return hasHolder(kind_) ? payload_.holder : nullptr;
}

int32_t Variant::count() const noexcept {
    return kind_ == jt_array || kind_ == jt_map ? payload_.holder->entries.count() : 0;
}

VariantEntry* Variant::entries() const noexcept {
    return kind_ == jt_array || kind_ == jt_map ? payload_.holder->entries.items() : nullptr;
}

bool Variant::append(const Variant& value) {
    if (kind_ != jt_array) {
        return false;
    }
    payload_.holder->entries.add(VariantEntry{SharedString(), value});
    return true;
}

bool Variant::append(const SharedString& key, const Variant& value) {
    if (kind_ != jt_map) {
        return false;
    }
    payload_.holder->entries.add(VariantEntry{key, value});
    return true;
}

const Variant* Variant::find(const char* key) const noexcept {
    if (kind_ != jt_map) {
        return nullptr;
    }
    const GrowableArray<VariantEntry>& members = payload_.holder->entries;
    for (int32_t i = 0; i < members.count(); ++i) {
        if (members[i].key.equals(key)) {
            return &members[i].value;
        }
    }
    return nullptr;
}

}  // namespace kwCore
