#pragma once

#include <cstdint>

namespace kwCore {

// SpinLock is a one-word lock for very short sections. It is not
// re-entrant: its holder must not acquire it again.
class SpinLock {
  public:
    // acquire waits until the word is free and stores the calling thread's
    // id in it. Waiting backs off: 10 immediate retries, then a yield of
    // the processor per retry up to the 100th, then 5 ms sleeps.
    void acquire() noexcept;

    // release frees the word if the calling thread holds it; a word held by
    // another thread, or free, is left unchanged.
    void release() noexcept;

    // word is 0 when the lock is free, else the id of the holding thread.
    int32_t word = 0;
};

}  // namespace kwCore
