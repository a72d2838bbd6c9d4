#pragma once

#include <cstdint>

namespace kwCore {

// ThreadLocalSlot holds one thread-local storage index: a pointer-sized
// value that every thread sees separately, nullptr until a thread sets it.
class ThreadLocalSlot {
  public:
    // ThreadLocalSlot allocates an index; isAllocated tells whether the
    // system had one to give.
    ThreadLocalSlot() noexcept;
    // ~ThreadLocalSlot frees the index unless free already did.
    ~ThreadLocalSlot();

    ThreadLocalSlot(const ThreadLocalSlot&) = delete;
    ThreadLocalSlot& operator=(const ThreadLocalSlot&) = delete;

    // isAllocated tells whether the slot holds an index.
    bool isAllocated() const noexcept;

    // get returns the calling thread's value, nullptr when the slot holds
    // no index.
    void* get() const noexcept;

    // set stores value for the calling thread; false when the slot holds no
    // index or the system refuses.
    bool set(void* value) noexcept;

    // renew replaces the index with a fresh one, under which every thread's
    // value is nullptr, and frees the old one: every thread forgets what it
    // stored. When the system has no fresh index the slot then holds none.
    void renew() noexcept;

    // free gives the index back to the system; the slot then holds none.
    // Values stored under it are dropped, not freed.
    void free() noexcept;

  private:
    uint32_t index;
};

}  // namespace kwCore
