#include "buffer/buffer.h"
#include "runtime/variant.h"
#include "thread/interlocked.h"

namespace kwCore {

int64_t liveHolderCount = 0;

VariantHolder::VariantHolder() noexcept {
    atomicIncrement64(&liveHolderCount);
}

VariantHolder::~VariantHolder() {
    atomicDecrement64(&liveHolderCount);
    // Entries go first, in order, each value before its key; then the owned
    // object; then the boxed value.
    entries.setSize(0);
    if (ownsObject && object != nullptr) {
        delete static_cast<Buffer*>(object);
        object = nullptr;
    }
    boxed.clear();
}

}  // namespace kwCore
