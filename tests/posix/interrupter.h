#pragma once

#include <pthread.h>
#include <signal.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace kwCore::testutil {

// Interrupter sends SIGUSR1 to one thread, again and again until it is
// destroyed. The signal's handler is installed without SA_RESTART, so every
// blocking system call of that thread is cut short meanwhile: with EINTR
// when nothing was transferred yet, with a short count otherwise.
class Interrupter {
  public:
    explicit Interrupter(pthread_t target = pthread_self(),
                         std::chrono::microseconds interval = std::chrono::microseconds(200))
        : sender([this, target, interval] {
              while (!stop.load()) {
                  pthread_kill(target, SIGUSR1);
                  std::this_thread::sleep_for(interval);
              }
          }) {}
    ~Interrupter() {
        stop.store(true);
        sender.join();
    }
    Interrupter(const Interrupter&) = delete;
    Interrupter& operator=(const Interrupter&) = delete;

    // deliveries counts the signals handled so far, process-wide.
    static int deliveries() { return handled().load(); }

  private:
    static std::atomic<int>& handled() {
        static std::atomic<int> count{0};
        return count;
    }
    // installed sets up the counting handler once; it stays for the rest of
    // the process, so that no late signal meets the default action.
    static bool installed() {
        static const bool done = [] {
            handled();
            struct sigaction action {};
            action.sa_handler = [](int) { handled().fetch_add(1); };
            sigemptyset(&action.sa_mask);
            action.sa_flags = 0;  // no SA_RESTART
            return sigaction(SIGUSR1, &action, nullptr) == 0;
        }();
        return done;
    }

    bool ready = installed();
    std::atomic<bool> stop{false};
    std::thread sender;
};

}  // namespace kwCore::testutil
