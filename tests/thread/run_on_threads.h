#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "thread/running_thread.h"

namespace kwCore::testutil {

// runOnThreads calls work(argument) on count threads at once and waits for
// all of them.
inline void runOnThreads(int count, void (*work)(void*), void* argument) {
    std::vector<RunningThread> threads;
    for (int i = 0; i < count; ++i) {
        threads.push_back(startThread(work, argument));
    }
    for (auto& thread : threads) {
        ASSERT_TRUE(thread.isStarted());
        thread.wait();
    }
}

}  // namespace kwCore::testutil
