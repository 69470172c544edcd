#include "platform/files/Files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstdlib>
#include <mutex>

#include "platform/core/ErrorCodes.h"
#include "platform/core/LastError.h"
#include "platform/core/Text.h"
#include "platform/device/DeviceDirectory.h"

namespace ce {
namespace {

struct WriteFailure {
    std::mutex mutex;
    bool active = false;
    bool environmentRead = false;
    std::uint64_t remaining = 0;
    std::string pathPart;
};

WriteFailure& Failure() {
    static WriteFailure* failure = new WriteFailure;
    return *failure;
}

// How many of `wanted` bytes a write to `path` may store before the disk is
// "full"; consumes them from the budget.
std::uint64_t AllowedBytes(const std::string& path, std::uint64_t wanted) {
    WriteFailure& f = Failure();
    std::lock_guard lock(f.mutex);
    if (!f.environmentRead) {
        f.environmentRead = true;
        if (const char* after = std::getenv("TESSALY_FAIL_WRITES_AFTER"); after && *after) {
            f.active = true;
            f.remaining = std::strtoull(after, nullptr, 10);
            if (const char* part = std::getenv("TESSALY_FAIL_WRITES_PATH"))
                f.pathPart = part;
        }
    }
    if (!f.active)
        return wanted;
    if (!f.pathPart.empty() && path.find(f.pathPart) == std::string::npos)
        return wanted;
    std::uint64_t allowed = wanted < f.remaining ? wanted : f.remaining;
    f.remaining -= allowed;
    return allowed;
}

class FileObject : public KernelObject {
public:
    FileObject(int fd, std::string path, bool canRead, bool canWrite)
        : fd_(fd), path_(std::move(path)), canRead_(canRead), canWrite_(canWrite) {}
    ~FileObject() override {
        if (fd_ >= 0)
            ::close(fd_);
    }
    bool Close() override {
        int fd = fd_;
        fd_ = -1;
        if (::close(fd) != 0) {
            SetLastError(ErrorFromErrno(errno));
            return true;  // the descriptor is gone either way
        }
        return true;
    }
    int fd() const { return fd_; }
    const std::string& path() const { return path_; }
    bool canRead() const { return canRead_; }
    bool canWrite() const { return canWrite_; }

private:
    int fd_;
    std::string path_;
    bool canRead_;
    bool canWrite_;
};

FileObject* FileFromHandle(HANDLE h) {
    auto* file = LookupHandleAs<FileObject>(h);
    if (file == nullptr)
        SetLastError(ERROR_INVALID_HANDLE);
    return file;
}

bool ParentExists(const std::filesystem::path& path) {
    std::filesystem::path parent = path.parent_path();
    if (parent.empty())
        return true;
    struct stat st;
    return ::stat(parent.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

DWORD OpenError(int error, const std::filesystem::path& path) {
    if (error == ENOENT && !ParentExists(path))
        return ERROR_PATH_NOT_FOUND;
    return ErrorFromErrno(error);
}

}  // namespace

DWORD ErrorFromErrno(int error) {
    switch (error) {
        case 0:
            return ERROR_SUCCESS;
        case ENOENT:
            return ERROR_FILE_NOT_FOUND;
        case ENOTDIR:
            return ERROR_PATH_NOT_FOUND;
        case EACCES:
        case EPERM:
        case EISDIR:
            return ERROR_ACCESS_DENIED;
        case EEXIST:
            return ERROR_FILE_EXISTS;
        case ENOSPC:
        case EDQUOT:
            return ERROR_DISK_FULL;
        case EROFS:
            return ERROR_WRITE_PROTECT;
        case EMFILE:
        case ENFILE:
            return ERROR_TOO_MANY_OPEN_FILES;
        case ENAMETOOLONG:
            return ERROR_FILENAME_EXCED_RANGE;
        case ENOMEM:
            return ERROR_NOT_ENOUGH_MEMORY;
        case EINVAL:
            return ERROR_INVALID_PARAMETER;
        case ENOTEMPTY:
            return ERROR_DIR_NOT_EMPTY;
        case EIO:
            return ERROR_GEN_FAILURE;
        default:
            return ERROR_GEN_FAILURE;
    }
}

void SetWriteFailure(std::uint64_t bytes, std::string pathPart) {
    WriteFailure& f = Failure();
    std::lock_guard lock(f.mutex);
    f.environmentRead = true;
    f.active = true;
    f.remaining = bytes;
    f.pathPart = std::move(pathPart);
}

void ClearWriteFailure() {
    WriteFailure& f = Failure();
    std::lock_guard lock(f.mutex);
    f.environmentRead = true;
    f.active = false;
}

HANDLE CreateFileW(LPCWSTR name, DWORD access, DWORD, void*, DWORD disposition, DWORD, HANDLE) {
    if (name == nullptr || *name == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    if (WideView(name).front() == u'\\') {
        std::string error;
        device::EnsureDevice(&error);
    }
    std::filesystem::path path = device::HostPath(WideView(name));
    bool canRead = (access & GENERIC_READ) != 0;
    bool canWrite = (access & GENERIC_WRITE) != 0;
    int flags = O_CLOEXEC;
    flags |= canWrite ? (canRead ? O_RDWR : O_WRONLY) : O_RDONLY;
    switch (disposition) {
        case CREATE_NEW:
            flags |= O_CREAT | O_EXCL;
            break;
        case CREATE_ALWAYS:
            flags |= O_CREAT | O_TRUNC;
            break;
        case OPEN_EXISTING:
            break;
        case OPEN_ALWAYS:
            flags |= O_CREAT;
            break;
        case TRUNCATE_EXISTING:
            flags |= O_TRUNC;
            break;
        default:
            SetLastError(ERROR_INVALID_PARAMETER);
            return INVALID_HANDLE_VALUE;
    }
    if ((flags & O_TRUNC) && !canWrite) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    int fd = ::open(path.c_str(), flags, 0644);
    if (fd < 0) {
        SetLastError(OpenError(errno, path));
        return INVALID_HANDLE_VALUE;
    }
    struct stat st;
    if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(fd);
        SetLastError(ERROR_ACCESS_DENIED);
        return INVALID_HANDLE_VALUE;
    }
    SetLastError(ERROR_SUCCESS);
    return InsertHandle(std::make_unique<FileObject>(fd, path.string(), canRead, canWrite));
}

BOOL ReadFile(HANDLE h, void* buffer, DWORD toRead, LPDWORD read, void*) {
    if (read != nullptr)
        *read = 0;
    FileObject* file = FileFromHandle(h);
    if (file == nullptr)
        return FALSE;
    if (!file->canRead()) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    if (buffer == nullptr && toRead != 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    DWORD total = 0;
    while (total < toRead) {
        ssize_t n = ::read(file->fd(), static_cast<BYTE*>(buffer) + total, toRead - total);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            SetLastError(ErrorFromErrno(errno));
            if (read != nullptr)
                *read = total;
            return FALSE;
        }
        if (n == 0)
            break;
        total += static_cast<DWORD>(n);
    }
    if (read != nullptr)
        *read = total;
    return TRUE;
}

BOOL WriteFile(HANDLE h, const void* buffer, DWORD toWrite, LPDWORD written, void*) {
    if (written != nullptr)
        *written = 0;
    FileObject* file = FileFromHandle(h);
    if (file == nullptr)
        return FALSE;
    if (!file->canWrite()) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    if (buffer == nullptr && toWrite != 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    auto allowed = static_cast<DWORD>(AllowedBytes(file->path(), toWrite));
    DWORD total = 0;
    while (total < allowed) {
        ssize_t n = ::write(file->fd(), static_cast<const BYTE*>(buffer) + total, allowed - total);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            SetLastError(ErrorFromErrno(errno));
            if (written != nullptr)
                *written = total;
            return FALSE;
        }
        total += static_cast<DWORD>(n);
    }
    if (written != nullptr)
        *written = total;
    if (allowed < toWrite) {
        SetLastError(ERROR_DISK_FULL);
        return FALSE;
    }
    return TRUE;
}

DWORD SetFilePointer(HANDLE h, LONG distance, LONG* distanceHigh, DWORD method) {
    FileObject* file = FileFromHandle(h);
    if (file == nullptr)
        return INVALID_SET_FILE_POINTER;
    std::int64_t offset = distance;
    if (distanceHigh != nullptr) {
        offset = static_cast<std::int64_t>(
            (static_cast<std::uint64_t>(static_cast<DWORD>(*distanceHigh)) << 32) |
            static_cast<DWORD>(distance));
    }
    int whence = method == FILE_BEGIN ? SEEK_SET : method == FILE_CURRENT ? SEEK_CUR : SEEK_END;
    if (method > FILE_END) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_SET_FILE_POINTER;
    }
    off_t result = ::lseek(file->fd(), static_cast<off_t>(offset), whence);
    if (result < 0) {
        SetLastError(errno == EINVAL ? ERROR_NEGATIVE_SEEK : ErrorFromErrno(errno));
        return INVALID_SET_FILE_POINTER;
    }
    if (distanceHigh != nullptr)
        *distanceHigh = static_cast<LONG>(result >> 32);
    SetLastError(ERROR_SUCCESS);
    return static_cast<DWORD>(result);
}

DWORD GetFileSize(HANDLE h, LPDWORD high) {
    FileObject* file = FileFromHandle(h);
    if (file == nullptr)
        return INVALID_FILE_SIZE;
    struct stat st;
    if (::fstat(file->fd(), &st) != 0) {
        SetLastError(ErrorFromErrno(errno));
        return INVALID_FILE_SIZE;
    }
    if (high != nullptr)
        *high = static_cast<DWORD>(static_cast<std::uint64_t>(st.st_size) >> 32);
    return static_cast<DWORD>(st.st_size);
}

BOOL SetEndOfFile(HANDLE h) {
    FileObject* file = FileFromHandle(h);
    if (file == nullptr)
        return FALSE;
    off_t at = ::lseek(file->fd(), 0, SEEK_CUR);
    if (at < 0 || ::ftruncate(file->fd(), at) != 0) {
        SetLastError(ErrorFromErrno(errno));
        return FALSE;
    }
    return TRUE;
}

BOOL DeleteFileW(LPCWSTR name) {
    if (name == nullptr || *name == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::filesystem::path path = device::HostPath(WideView(name));
    struct stat st;
    if (::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    if (::unlink(path.c_str()) != 0) {
        SetLastError(OpenError(errno, path));
        return FALSE;
    }
    return TRUE;
}

BOOL MoveFileExW(LPCWSTR existing, LPCWSTR newName, DWORD flags) {
    if (existing == nullptr || *existing == 0 || newName == nullptr || *newName == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::filesystem::path from = device::HostPath(WideView(existing));
    std::filesystem::path to = device::HostPath(WideView(newName));
    struct stat st;
    if ((flags & MOVEFILE_REPLACE_EXISTING) == 0 && ::stat(to.c_str(), &st) == 0) {
        SetLastError(ERROR_ALREADY_EXISTS);
        return FALSE;
    }
    // rename() replaces the target in one step: a reader sees the old file
    // or the new one, never neither.
    if (::rename(from.c_str(), to.c_str()) != 0) {
        SetLastError(OpenError(errno, from));
        return FALSE;
    }
    return TRUE;
}

DWORD GetFileAttributesW(LPCWSTR name) {
    if (name == nullptr || *name == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_FILE_ATTRIBUTES;
    }
    std::filesystem::path path = device::HostPath(WideView(name));
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) {
        SetLastError(OpenError(errno, path));
        return INVALID_FILE_ATTRIBUTES;
    }
    DWORD attributes = S_ISDIR(st.st_mode) ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL;
    if (::access(path.c_str(), W_OK) != 0 && !S_ISDIR(st.st_mode)) {
        attributes = FILE_ATTRIBUTE_READONLY;
    }
    return attributes;
}

BOOL CreateDirectoryW(LPCWSTR name, void*) {
    if (name == nullptr || *name == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::filesystem::path path = device::HostPath(WideView(name));
    if (::mkdir(path.c_str(), 0755) != 0) {
        SetLastError(errno == EEXIST ? ERROR_ALREADY_EXISTS : OpenError(errno, path));
        return FALSE;
    }
    return TRUE;
}

}  // namespace ce
