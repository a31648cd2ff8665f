// A lock that one process at a time holds on a file: the instance that holds it is the one that
// listens for requests. The system drops it when the process ends, however it ends.
#pragma once

#include <string>

class InstanceLock {
public:
    InstanceLock() = default;
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;
    InstanceLock(InstanceLock&& other) noexcept;
    InstanceLock& operator=(InstanceLock&& other) noexcept;

    // Takes the lock on path (made when missing; a symbolic link is not followed) without
    // waiting; false when another holds it or the file cannot be had.
    bool TryLock(const std::string& path);
    bool Held() const { return fd_ >= 0; }
    void Release();

private:
    int fd_ = -1;
};
