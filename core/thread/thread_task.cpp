#include "thread/thread_task.h"

#include <new>

#include "thread/thread_record.h"

namespace kwCore {

void taskThreadEntry(void* argument) {
    auto* task = static_cast<ThreadTask*>(argument);
    task->busy.store(true);
    attachThreadRecord();
    task->execute();
    detachThreadRecord();
    task->busy.store(false);
    // The whole object's memory, wherever ThreadTask sits inside it.
    ::operator delete(dynamic_cast<void*>(task));
}

}  // namespace kwCore
