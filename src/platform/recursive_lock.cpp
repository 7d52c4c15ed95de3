#include "platform/recursive_lock.h"

#include <new>

#if defined(_WIN32)
#include <windows.h>
#else
#include <pthread.h>
#endif

namespace tw::platform {
namespace {

#if defined(_WIN32)
// A critical section is re-entrant for its owning thread by design.
using SystemLock = CRITICAL_SECTION;
#else
using SystemLock = pthread_mutex_t;
#endif

SystemLock& systemLock(unsigned char* storage) { return *std::launder(reinterpret_cast<SystemLock*>(storage)); }

}  // namespace

static_assert(sizeof(SystemLock) <= 64, "the storage of RecursiveLock is too small");

RecursiveLock::RecursiveLock() {
#if defined(_WIN32)
    InitializeCriticalSection(new (storage_) CRITICAL_SECTION);
#else
    pthread_mutexattr_t attributes;
    pthread_mutexattr_init(&attributes);
    pthread_mutexattr_settype(&attributes, PTHREAD_MUTEX_RECURSIVE);
    pthread_mutex_init(new (storage_) pthread_mutex_t, &attributes);
    pthread_mutexattr_destroy(&attributes);
#endif
}

RecursiveLock::~RecursiveLock() {
#if defined(_WIN32)
    DeleteCriticalSection(&systemLock(storage_));
#else
    pthread_mutex_destroy(&systemLock(storage_));
#endif
}

void RecursiveLock::lock() {
#if defined(_WIN32)
    EnterCriticalSection(&systemLock(storage_));
#else
    pthread_mutex_lock(&systemLock(storage_));
#endif
}

bool RecursiveLock::try_lock() {
#if defined(_WIN32)
    return TryEnterCriticalSection(&systemLock(storage_)) != 0;
#else
    return pthread_mutex_trylock(&systemLock(storage_)) == 0;
#endif
}

void RecursiveLock::unlock() {
#if defined(_WIN32)
    LeaveCriticalSection(&systemLock(storage_));
#else
    pthread_mutex_unlock(&systemLock(storage_));
#endif
}

}  // namespace tw::platform
