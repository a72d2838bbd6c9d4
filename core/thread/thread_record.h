#pragma once

#include <atomic>
#include <cstdint>

#include "thread/thread_local_slot.h"

namespace kwCore {

// ThreadRecord is per-thread scratch memory that a thread started through
// the library finds ready while it runs (see currentThreadRecord); what is
// kept in it is up to the code that runs on the thread.
struct ThreadRecord {
    unsigned char storage[4096];
    uint32_t word;
};

// ThreadRecordTable is the process-wide table of thread records: a record
// pointer and the owning thread's id per entry (0 = free), and the slot in
// which each thread finds its own record.
struct ThreadRecordTable {
    static constexpr int32_t capacity = 2048;

    ThreadRecord* records[capacity];
    int32_t ownerIds[capacity];
    ThreadLocalSlot slot;
};

// threadRecordTable is the process's table, nullptr while there is none.
// Without a table every attach and detach returns at once.
extern std::atomic<ThreadRecordTable*> threadRecordTable;

// createThreadRecordTable sets up threadRecordTable unless it exists; call
// it before starting the threads that are to use it. Returns false when
// the system has no thread-local storage index left. Throws std::bad_alloc
// when the heap is exhausted.
bool createThreadRecordTable();

// destroyThreadRecordTable frees the records still attached and the table,
// leaving none; call it only once no other thread uses the table.
void destroyThreadRecordTable() noexcept;

// attachThreadRecord gives the calling thread a zeroed record in the first
// free entry of the table (claimed with an interlocked compare-exchange),
// unless there is no table, the thread has a record already, or the table
// is full. Throws std::bad_alloc when the heap is exhausted.
void attachThreadRecord();

// detachThreadRecord takes the calling thread's record away and frees it;
// it does nothing when there is no table or the thread has no record.
void detachThreadRecord() noexcept;

// currentThreadRecord returns the calling thread's record, or nullptr.
ThreadRecord* currentThreadRecord() noexcept;

}  // namespace kwCore
