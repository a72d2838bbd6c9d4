#include "thread/thread_record.h"

#include <memory>

#include "platform/threads.h"
#include "thread/interlocked.h"

namespace kwCore {

std::atomic<ThreadRecordTable*> threadRecordTable{nullptr};

namespace {

int32_t callerId() noexcept {
    return static_cast<int32_t>(platform::currentThreadId());
}

int32_t ownerAt(ThreadRecordTable* table, int32_t index) noexcept {
    return std::atomic_ref<int32_t>(table->ownerIds[index]).load(std::memory_order_acquire);
}

}  // namespace

bool createThreadRecordTable() {
    if (threadRecordTable.load() != nullptr) {
        return true;
    }
    // Value-initialised: every record pointer and owner id starts at zero.
    auto table = std::make_unique<ThreadRecordTable>();
    if (!table->slot.isAllocated()) {
        return false;
    }
    threadRecordTable.store(table.release());
    return true;
}

void destroyThreadRecordTable() noexcept {
    ThreadRecordTable* table = threadRecordTable.exchange(nullptr);
    if (table == nullptr) {
        return;
    }
    for (ThreadRecord* record : table->records) {
        delete record;
    }
    delete table;
}

void attachThreadRecord() {
    ThreadRecordTable* table = threadRecordTable.load();
    if (table == nullptr || table->slot.get() != nullptr) {
        return;
    }
    // Allocated before an entry is claimed, so that running out of memory
    // cannot leave an entry claimed without a record.
    auto record = std::make_unique<ThreadRecord>();
    const int32_t self = callerId();
    for (int32_t index = 0; index < ThreadRecordTable::capacity; ++index) {
        if (ownerAt(table, index) == 0 &&
            interlockedCompareExchange(&table->ownerIds[index], self, 0) == 0) {
            table->records[index] = record.get();
            table->slot.set(record.release());
            return;
        }
    }
}

void detachThreadRecord() noexcept {
    ThreadRecordTable* table = threadRecordTable.load();
    if (table == nullptr || table->slot.get() == nullptr) {
        return;
    }
    const int32_t self = callerId();
    for (int32_t index = 0; index < ThreadRecordTable::capacity; ++index) {
        if (ownerAt(table, index) == self) {
            table->slot.set(nullptr);
            ThreadRecord* record = table->records[index];
            table->records[index] = nullptr;
            std::atomic_ref<int32_t>(table->ownerIds[index]).store(0, std::memory_order_release);
            delete record;
            return;
        }
    }
}

ThreadRecord* currentThreadRecord() noexcept {
    ThreadRecordTable* table = threadRecordTable.load();
    return table == nullptr ? nullptr : static_cast<ThreadRecord*>(table->slot.get());
}

}  // namespace kwCore
