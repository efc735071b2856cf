#include "platform/priority_inheriting_mutex.h"

#include <system_error>

namespace palomind {

#if defined(_POSIX_THREAD_PRIO_INHERIT) && _POSIX_THREAD_PRIO_INHERIT > 0

namespace {

void ThrowOnFailure(int result, const char* what) {
    if (result != 0) throw std::system_error(result, std::system_category(), what);
}

}  // namespace

PriorityInheritingMutex::PriorityInheritingMutex() {
    pthread_mutexattr_t attributes;
    ThrowOnFailure(pthread_mutexattr_init(&attributes), "pthread_mutexattr_init");
    inherits_ = pthread_mutexattr_setprotocol(&attributes, PTHREAD_PRIO_INHERIT) == 0;
    const int made = pthread_mutex_init(&mutex_, &attributes);
    pthread_mutexattr_destroy(&attributes);
    ThrowOnFailure(made, "pthread_mutex_init");
}

PriorityInheritingMutex::~PriorityInheritingMutex() {
    pthread_mutex_destroy(&mutex_);
}

void PriorityInheritingMutex::lock() {
    ThrowOnFailure(pthread_mutex_lock(&mutex_), "pthread_mutex_lock");
}

bool PriorityInheritingMutex::try_lock() {
    return pthread_mutex_trylock(&mutex_) == 0;
}

void PriorityInheritingMutex::unlock() {
    pthread_mutex_unlock(&mutex_);
}

#else

PriorityInheritingMutex::PriorityInheritingMutex() = default;
PriorityInheritingMutex::~PriorityInheritingMutex() = default;

void PriorityInheritingMutex::lock() {
    mutex_.lock();
}

bool PriorityInheritingMutex::try_lock() {
    return mutex_.try_lock();
}

void PriorityInheritingMutex::unlock() {
    mutex_.unlock();
}

#endif

}  // namespace palomind
