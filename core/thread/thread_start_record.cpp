#include "thread/thread_start_record.h"

#include "thread/thread_record.h"

namespace kwCore {

void functionThreadEntry(void* argument) {
    attachThreadRecord();
    auto* record = static_cast<ThreadStartRecord*>(argument);
    record->function(record->argument);
    delete record;
    detachThreadRecord();
}

}  // namespace kwCore
