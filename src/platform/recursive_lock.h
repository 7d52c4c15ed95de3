// A lock that the thread holding it may take again: the module serializes
// whole runs with it, and a run nested through a host hook takes it once more
// on the same thread.
#pragma once

namespace tw::platform {

class RecursiveLock {
public:
    RecursiveLock();
    ~RecursiveLock();
    RecursiveLock(const RecursiveLock&) = delete;
    RecursiveLock& operator=(const RecursiveLock&) = delete;

    // Waits until no other thread holds the lock. Meets the standard
    // Lockable requirements, so std::lock_guard and std::unique_lock work.
    void lock();
    bool try_lock();
    void unlock();

private:
    // Room for the system's lock object (a pthread mutex or a critical
    // section), so that this header needs no system header.
    alignas(16) unsigned char storage_[64];
};

}  // namespace tw::platform
