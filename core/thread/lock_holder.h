#pragma once

#include "thread/lock.h"

namespace kwCore {

// LockHolder holds a Lock from its construction until it is destroyed or
// leaves early, so that every path out of a scope, an exception's included,
// leaves the lock.
class LockHolder {
  public:
    explicit LockHolder(Lock& lock) noexcept : lock(&lock) { lock.enter(); }
    ~LockHolder() { leave(); }

    LockHolder(const LockHolder&) = delete;
    LockHolder& operator=(const LockHolder&) = delete;

    // leave leaves the lock now rather than at the end of the scope.
    void leave() noexcept {
        if (lock != nullptr) {
            lock->leave();
            lock = nullptr;
        }
    }

  private:
    Lock* lock;
};

}  // namespace kwCore
