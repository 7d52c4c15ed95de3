#include "platform/writable_file.h"

#include <cerrno>
#include <new>

#if defined(_WIN32)
#include <io.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace tw::platform {
namespace {

WriteFaultHook faultHook = nullptr;
SyncFaultHook syncHook = nullptr;

int injectedFault() { return faultHook != nullptr ? faultHook() : 0; }

// errno after a failing call, or EIO when the library left it unset.
int lastError() { return errno != 0 ? errno : EIO; }

}  // namespace

void setWriteFaultHook(WriteFaultHook hook) { faultHook = hook; }

void setSyncFaultHook(SyncFaultHook hook) { syncHook = hook; }

int injectedSyncFault(SyncTarget target, const std::string& path) {
    return syncHook != nullptr ? syncHook(target, path) : 0;
}

std::unique_ptr<WritableFile> WritableFile::open(const std::string& path, WriteMode mode) {
    if (const int fault = injectedFault()) {
        errno = fault;
        return nullptr;
    }
    // The object comes first: a file created and then dropped for lack of
    // memory would be left behind, emptied.
    std::unique_ptr<WritableFile> writable(new (std::nothrow) WritableFile(nullptr, path));
    if (!writable) return nullptr;
    writable->file_ = std::fopen(path.c_str(), mode == WriteMode::Text ? "w" : "wb");
    if (writable->file_ == nullptr) return nullptr;
    return writable;
}

WritableFile::~WritableFile() {
    if (file_ != nullptr) std::fclose(file_);
}

void WritableFile::fail(int error) {
    if (error_ == 0) error_ = error;
}

bool WritableFile::write(std::string_view bytes) {
    if (failed() || file_ == nullptr) return false;
    if (bytes.empty()) return true;
    std::size_t wanted = bytes.size();
    const int fault = injectedFault();
    if (fault != 0) wanted /= 2;
    errno = 0;
    const std::size_t written = std::fwrite(bytes.data(), 1, wanted, file_);
    if (written != wanted) {
        fail(lastError());
    } else if (fault != 0) {
        fail(fault);
    }
    return !failed();
}

bool WritableFile::flush() {
    if (failed() || file_ == nullptr) return false;
    const int fault = injectedFault();
    errno = 0;
    if (std::fflush(file_) != 0) fail(lastError());
    if (fault != 0) fail(fault);
    return !failed();
}

bool WritableFile::sync() {
    if (failed() || file_ == nullptr) return false;
    // The flush of the close that follows is the one the write-fault hook
    // counts; this one only hands the bytes to the system first.
    errno = 0;
    if (std::fflush(file_) != 0) {
        fail(lastError());
        return false;
    }
    if (const int fault = injectedSyncFault(SyncTarget::File, path_)) {
        fail(fault);
        return false;
    }
    errno = 0;
#if defined(_WIN32)
    const HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file_)));
    if (handle == INVALID_HANDLE_VALUE || !FlushFileBuffers(handle)) fail(EIO);
#elif defined(__APPLE__)
    // fsync leaves the bytes in the drive's cache there.
    if (fcntl(fileno(file_), F_FULLFSYNC) != 0 && fsync(fileno(file_)) != 0) fail(lastError());
#else
    if (fsync(fileno(file_)) != 0) fail(lastError());
#endif
    return !failed();
}

bool WritableFile::close() {
    if (file_ == nullptr) return !failed();
    flush();
    const int fault = failed() ? 0 : injectedFault();
    errno = 0;
    if (std::fclose(file_) != 0) fail(lastError());
    file_ = nullptr;
    if (fault != 0) fail(fault);
    return !failed();
}

bool WritableFile::diskFull() const {
#if defined(EDQUOT)
    if (error_ == EDQUOT) return true;
#endif
    return error_ == ENOSPC;
}

}  // namespace tw::platform
