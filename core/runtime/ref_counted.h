#pragma once

#include <atomic>
#include <cstdint>

#include "thread/interlocked.h"

namespace kwCore {

// RefCounted is the library's reference-counted object: a virtual deleting
// destructor followed by a 32-bit reference count changed by interlocked
// operations, so references may be taken and dropped on any thread. A new
// object has no references; every holder (a Variant among them) adds one and
// releases it, and the last release deletes the object.
class RefCounted {
  public:
    RefCounted() noexcept = default;
    RefCounted(const RefCounted&) = delete;
    RefCounted& operator=(const RefCounted&) = delete;
    virtual ~RefCounted() = default;

    // addReference takes one more reference.
    void addReference() noexcept { interlockedIncrement(&referenceCount); }

    // release drops one reference; the last one deletes the object. The count
    // is set to 1000 first, so references that the destructor itself takes
    // and drops never bring it to 0 a second time.
    void release() noexcept {
        if (interlockedDecrement(&referenceCount) == 0) {
            std::atomic_ref<int32_t>(referenceCount).store(1000, std::memory_order_relaxed);
            delete this;
        }
    }

    // references is the current reference count, for tests and diagnostics.
    int32_t references() const noexcept {
        return std::atomic_ref<const int32_t>(referenceCount).load();
    }

  private:
    int32_t referenceCount = 0;
};

}  // namespace kwCore
