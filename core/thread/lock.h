#pragma once

#include <atomic>
#include <cstdint>

namespace kwCore {

// Lock is a re-entrant lock over the system's critical section that also
// records the id of the thread that last entered it.
class Lock {
  public:
    // Lock prepares the critical section with a spin count of 4,000 where
    // the system supports one. Throws std::bad_alloc when the system lacks
    // the resources.
    Lock();
    // ~Lock releases the critical section; no thread may hold it.
    ~Lock();

    Lock(const Lock&) = delete;
    Lock& operator=(const Lock&) = delete;

    // enter waits until the calling thread owns the lock, then records the
    // caller as ownerThreadId. The owner may enter again.
    void enter() noexcept;

    // leave clears ownerThreadId, then undoes one enter. Every leave, nested
    // or not, clears ownerThreadId.
    void leave() noexcept;

  private:
    // section is the platform layer's critical section, kept opaque here so
    // that no system type reaches the library's users.
    alignas(8) unsigned char section[40];

  public:
    // ownerThreadId is the id of the thread that last entered, 0 after a
    // leave. It is informational: other threads may read it at any time.
    std::atomic<uint32_t> ownerThreadId{0};
};

}  // namespace kwCore
