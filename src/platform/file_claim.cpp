#include "platform/file_claim.h"

#include <cerrno>

#if defined(_WIN32)
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace tw::platform {
namespace {

// A holder may remove the name between our open and our lock; then the
// claim is taken again on what the name holds now.
constexpr int kClaimAttempts = 8;

#if defined(_WIN32)
// Windows locks are mandatory, so the claim locks one byte far beyond any
// data: reads and writes of the file through other handles are not hindered.
constexpr DWORD kLockOffsetHigh = 0x40000000;

HANDLE openForClaim(const std::string& path, bool create) {
    return CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                       nullptr, create ? OPEN_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

bool lockWithoutWaiting(HANDLE handle) {
    OVERLAPPED where{};
    where.OffsetHigh = kLockOffsetHigh;
    return LockFileEx(handle, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &where) != 0;
}

bool stillNamed(HANDLE handle, const std::string& path) {
    BY_HANDLE_FILE_INFORMATION held{}, named{};
    if (!GetFileInformationByHandle(handle, &held)) return false;
    HANDLE again = CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (again == INVALID_HANDLE_VALUE) return false;
    const bool ok = GetFileInformationByHandle(again, &named) != 0;
    CloseHandle(again);
    return ok && held.dwVolumeSerialNumber == named.dwVolumeSerialNumber &&
           held.nFileIndexHigh == named.nFileIndexHigh && held.nFileIndexLow == named.nFileIndexLow;
}

// Why a claim could not be had. A file that its holder has removed but not
// yet closed cannot be opened until then: that counts as held, and so does
// a lock or sharing conflict. A folder or a read-only file standing at the
// name is a failure.
ClaimResult failureOf(const std::string& path, DWORD error) {
    if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION) return ClaimResult::Held;
    if (error != ERROR_ACCESS_DENIED) return ClaimResult::Failed;
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return ClaimResult::Held;
    if (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) return ClaimResult::Failed;
    return ClaimResult::Held;
}
#else
bool stillNamed(int descriptor, const std::string& path) {
    struct stat held {}, named {};
    if (fstat(descriptor, &held) != 0 || stat(path.c_str(), &named) != 0) return false;
    return held.st_dev == named.st_dev && held.st_ino == named.st_ino;
}
#endif

}  // namespace

std::unique_ptr<FileClaim> FileClaim::claim(const std::string& path, ClaimResult& result) {
    return take(path, true, result);
}

std::unique_ptr<FileClaim> FileClaim::take(const std::string& path, bool create, ClaimResult& result) {
    result = ClaimResult::Failed;
    // The object comes first, so that nothing can fail between taking the
    // system's lock and handing it to its owner.
    std::unique_ptr<FileClaim> claimed(new FileClaim(path, kNoHandle));
    for (int attempt = 0; attempt < kClaimAttempts; ++attempt) {
#if defined(_WIN32)
        HANDLE handle = openForClaim(path, create);
        if (handle == INVALID_HANDLE_VALUE) {
            result = failureOf(path, GetLastError());
            return nullptr;
        }
        claimed->handle_ = reinterpret_cast<std::intptr_t>(handle);
        if (!lockWithoutWaiting(handle)) {
            result = failureOf(path, GetLastError());
            return nullptr;
        }
        if (!stillNamed(handle, path)) {
            CloseHandle(handle);
            claimed->handle_ = kNoHandle;
            continue;
        }
#else
        const int descriptor = ::open(path.c_str(), O_RDWR | O_CLOEXEC | (create ? O_CREAT : 0), 0666);
        if (descriptor < 0) return nullptr;
        claimed->handle_ = descriptor;
        // flock locks belong to the open file, not to the process, so a run
        // nested in the same process is kept out as well.
        if (::flock(descriptor, LOCK_EX | LOCK_NB) != 0) {
            if (errno == EWOULDBLOCK) result = ClaimResult::Held;
            return nullptr;
        }
        if (!stillNamed(descriptor, path)) {
            ::close(descriptor);
            claimed->handle_ = kNoHandle;
            continue;
        }
#endif
        result = ClaimResult::Claimed;
        return claimed;
    }
    // The name keeps changing under us: someone is busy with it.
    result = ClaimResult::Held;
    return nullptr;
}

FileClaim::~FileClaim() {
    if (handle_ == kNoHandle) return;
#if defined(_WIN32)
    CloseHandle(reinterpret_cast<HANDLE>(handle_));
#else
    ::close(static_cast<int>(handle_));
#endif
}

bool FileClaim::holds(const std::string& path) const {
    if (handle_ == kNoHandle) return false;
#if defined(_WIN32)
    return stillNamed(reinterpret_cast<HANDLE>(handle_), path);
#else
    return stillNamed(static_cast<int>(handle_), path);
#endif
}

bool isClaimed(const std::string& path) {
#if defined(_WIN32)
    if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) return false;
#else
    struct stat status {};
    if (stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) return false;
#endif
    ClaimResult result = ClaimResult::Failed;
    const std::unique_ptr<FileClaim> probe = FileClaim::take(path, false, result);
    return result == ClaimResult::Held;
}

}  // namespace tw::platform
