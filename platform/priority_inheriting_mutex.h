#pragma once
#include <mutex>

#if __has_include(<unistd.h>)
#include <unistd.h>  // says whether the system has priority inheritance
#endif
#if defined(_POSIX_THREAD_PRIO_INHERIT) && _POSIX_THREAD_PRIO_INHERIT > 0
#include <pthread.h>
#endif

namespace palomind {

// A mutex whose holder runs at the priority of the most urgent thread waiting
// for it. The receiver's real-time thread shares a lock with the ordinary
// window thread: with a plain mutex, a window thread pre-empted while holding
// it would hold back the stamp of a pass for as long as a busy machine runs
// other work. Where the system has no such mutex it is an ordinary one.
// Meets the standard's Lockable requirements (std::lock_guard, std::unique_lock).
class PriorityInheritingMutex {
  public:
    PriorityInheritingMutex();
    ~PriorityInheritingMutex();
    PriorityInheritingMutex(const PriorityInheritingMutex&) = delete;
    PriorityInheritingMutex& operator=(const PriorityInheritingMutex&) = delete;

    void lock();
    bool try_lock();
    void unlock();

    // Whether the holder really inherits a waiter's priority here.
    bool InheritsPriority() const { return inherits_; }

  private:
#if defined(_POSIX_THREAD_PRIO_INHERIT) && _POSIX_THREAD_PRIO_INHERIT > 0
    pthread_mutex_t mutex_;
#else
    std::mutex mutex_;
#endif
    bool inherits_ = false;
};

}  // namespace palomind
