#pragma once

#include <atomic>
#include <cstdint>

namespace kwCore {

// Thread is a unit of work run on its own system thread through hooks:
// onStart, then body and onExit(true) when onStart agreed, else only
// onExit(false). Derive from it, override the hooks and start it with
// startThread (running_thread.h).
class Thread {
  public:
    // validMarker is the marker of a live Thread; destroyedMarker replaces
    // it when the object is destroyed.
    static constexpr uint32_t validMarker = 0xF8723DAE;
    static constexpr uint32_t destroyedMarker = 0x78DC251;

    // Thread creates a valid thread object that has not run. With
    // autoDelete set, threadEntry deletes the object once run returns; it
    // must then have been created with new.
    explicit Thread(bool autoDelete = false) noexcept;

    Thread(const Thread&) = delete;
    Thread& operator=(const Thread&) = delete;

    // run drives the hooks on the calling thread: it records a real handle
    // and the id of the thread, sets running and clears stopRequested,
    // calls onStart and sets started, then body and onExit(true) or only
    // onExit(false), clears running, and closes and clears the handle.
    // A Thread may run again once run has returned.
    virtual void run();
    // onStart prepares the work; returning false skips body. Default: true.
    virtual bool onStart();
    // body does the work. Default: nothing.
    virtual void body();
    // onExit finishes the work; bodyRan tells whether body was called.
    // Default: nothing.
    virtual void onExit(bool bodyRan);
    // isValid tells whether marker holds validMarker.
    virtual bool isValid() const;
    // ~Thread writes destroyedMarker into marker. A Thread that does not
    // delete itself may be destroyed only after its system thread ended.
    virtual ~Thread();

    // marker is validMarker while the object lives.
    uint32_t marker = validMarker;
    // running is set while run executes the hooks.
    std::atomic<bool> running{false};
    // started is set once onStart has returned, and stays set.
    std::atomic<bool> started{false};
    // stopRequested is cleared when run begins; a body may poll it for a
    // request by another thread to finish early.
    std::atomic<bool> stopRequested{false};
    // autoDelete makes threadEntry delete the object after run.
    bool autoDelete;
    // handle is the system's real handle to the thread executing run
    // (opaque), nullptr once run has finished.
    std::atomic<void*> handle{nullptr};
    // threadId is the id of the thread that last executed run.
    std::atomic<uint32_t> threadId{0};
};

// threadEntry is the start routine for a Thread: it attaches the calling
// thread's record, runs the Thread (argument), deletes it when autoDelete
// is set, and detaches the record.
void threadEntry(void* argument);

}  // namespace kwCore
