#pragma once

namespace kwCore {

// ThreadStartRecord is a heap record naming a function to call on a new
// thread and the argument to call it with.
struct ThreadStartRecord {
    void (*function)(void* argument);
    void* argument;
};

// functionThreadEntry is the start routine for a ThreadStartRecord
// (argument) created with new: it attaches the thread's record, calls the
// function with its argument, deletes the start record and detaches.
void functionThreadEntry(void* argument);

}  // namespace kwCore
