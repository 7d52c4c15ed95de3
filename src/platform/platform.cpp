#include "platform/platform.h"

#include <cerrno>
#include <cstdlib>

#include "platform/writable_file.h"

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>
#else
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace tw::platform {

char pathSeparator() {
#if defined(_WIN32)
    return '\\';
#else
    return '/';
#endif
}

std::string nativePath(std::string path) {
#if defined(_WIN32)
    for (char& c : path) {
        if (c == '/') c = '\\';
    }
#endif
    return path;
}

std::optional<std::string> homeDirectory() {
    const char* home = std::getenv("HOME");
    if (home == nullptr) return std::nullopt;
    return std::string(home);
}

bool isClosableRegularFile(std::FILE* file) {
    if (file == nullptr) return false;
#if defined(_WIN32)
    const int descriptor = _fileno(file);
    if (descriptor < 0) return false;
    struct _stat64 status {};
    if (_fstat64(descriptor, &status) != 0) return false;
    if ((status.st_mode & _S_IFMT) != _S_IFREG) return false;
    // A console or pipe handle never reports a regular file above.
    if (GetFileType(reinterpret_cast<HANDLE>(_get_osfhandle(descriptor))) != FILE_TYPE_DISK)
        return false;
#else
    const int descriptor = fileno(file);
    if (descriptor < 0) return false;
    struct stat status {};
    if (fstat(descriptor, &status) != 0) return false;
    if (!S_ISREG(status.st_mode)) return false;
#endif
    return std::ftell(file) >= 0;
}

std::FILE* binaryStandardInput() {
#if defined(_WIN32)
    _setmode(_fileno(stdin), _O_BINARY);
#endif
    return stdin;
}

bool removeFile(const std::string& path) { return std::remove(path.c_str()) == 0; }

bool replaceFile(const std::string& from, const std::string& to) {
#if defined(_WIN32)
    return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
#else
    return std::rename(from.c_str(), to.c_str()) == 0;
#endif
}

bool syncFolderOf(const std::string& path) {
    if (injectedSyncFault(SyncTarget::Folder, path) != 0) return false;
#if defined(_WIN32)
    return true;
#else
    const std::size_t cut = path.find_last_of('/');
    const std::string folder = cut == std::string::npos ? "." : cut == 0 ? "/" : path.substr(0, cut);
    const int descriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0) return false;
    errno = 0;
    bool synced = fsync(descriptor) == 0;
    // Some file systems have no way to sync a folder; nothing more can be
    // done there.
    if (!synced && (errno == EINVAL || errno == ENOTSUP)) synced = true;
    close(descriptor);
    return synced;
#endif
}

bool sameFile(const std::string& first, const std::string& second) {
#if defined(_WIN32)
    const auto identify = [](const std::string& path, BY_HANDLE_FILE_INFORMATION& info) {
        HANDLE handle = CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        if (handle == INVALID_HANDLE_VALUE) return false;
        const bool ok = GetFileInformationByHandle(handle, &info) != 0;
        CloseHandle(handle);
        return ok;
    };
    BY_HANDLE_FILE_INFORMATION a{}, b{};
    if (!identify(first, a) || !identify(second, b)) return false;
    return a.dwVolumeSerialNumber == b.dwVolumeSerialNumber && a.nFileIndexHigh == b.nFileIndexHigh &&
           a.nFileIndexLow == b.nFileIndexLow;
#else
    struct stat a {}, b {};
    if (stat(first.c_str(), &a) != 0 || stat(second.c_str(), &b) != 0) return false;
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
#endif
}

bool fileExists(const std::string& path) {
#if defined(_WIN32)
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
#else
    struct stat status {};
    return stat(path.c_str(), &status) == 0;
#endif
}

DynamicLibrary::DynamicLibrary(const std::string& path) {
#if defined(_WIN32)
    handle_ = reinterpret_cast<void*>(LoadLibraryA(path.c_str()));
    if (handle_ == nullptr) error_ = "LoadLibrary failed with error " + std::to_string(GetLastError());
#else
    handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle_ == nullptr) {
        const char* reason = dlerror();
        error_ = reason != nullptr ? reason : "dlopen failed";
    }
#endif
}

DynamicLibrary::~DynamicLibrary() {
    if (handle_ == nullptr) return;
#if defined(_WIN32)
    FreeLibrary(reinterpret_cast<HMODULE>(handle_));
#else
    dlclose(handle_);
#endif
}

void* DynamicLibrary::symbol(const char* name) const {
    if (handle_ == nullptr) return nullptr;
#if defined(_WIN32)
    return reinterpret_cast<void*>(GetProcAddress(reinterpret_cast<HMODULE>(handle_), name));
#else
    return dlsym(handle_, name);
#endif
}

std::string executableDirectory() {
    std::string path;
#if defined(_WIN32)
    char buffer[MAX_PATH + 1] = {};
    const DWORD length = GetModuleFileNameA(nullptr, buffer, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return {};
    path.assign(buffer, length);
#else
    char buffer[4096];
    const ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (length <= 0) return {};
    path.assign(buffer, static_cast<std::size_t>(length));
#endif
    const std::size_t cut = path.find_last_of("/\\");
    if (cut == std::string::npos) return {};
    return path.substr(0, cut + 1);
}

}  // namespace tw::platform
