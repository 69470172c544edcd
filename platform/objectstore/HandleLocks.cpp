#include "platform/objectstore/HandleLocks.h"

#include <fcntl.h>
#include <unistd.h>
#include <cerrno>
#include <chrono>
#include <map>
#include <thread>

#include "platform/core/ErrorCodes.h"
#include "platform/device/DeviceDirectory.h"
#include "platform/device/Volume.h"

namespace ce::objectstore {
namespace {

constexpr auto kSharedLockPatience = std::chrono::seconds(10);

off_t DatabaseByte(CEOID oid) {
    return static_cast<off_t>(oid) << 32;
}

// One byte-range lock request; true when it was granted.
bool TryLock(int fd, short type, off_t start, off_t length, int* error) {
    struct flock lock {};
    lock.l_type = type;
    lock.l_whence = SEEK_SET;
    lock.l_start = start;
    lock.l_len = length;
    lock.l_pid = 0;  // required by OFD locks
    while (::fcntl(fd, F_OFD_SETLK, &lock) != 0) {
        if (errno == EINTR)
            continue;
        *error = errno;
        return false;
    }
    return true;
}

bool IsConflict(int error) {
    return error == EAGAIN || error == EACCES;
}

}  // namespace

LockFile::~LockFile() {
    if (fd_ >= 0)
        ::close(fd_);
}

LockFile& LockFile::operator=(LockFile&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = other.fd_;
        other.fd_ = -1;
    }
    return *this;
}

DWORD LockFile::Open() {
    return Open(device::DeviceDirectory() / "objectstore.lock");
}

DWORD LockFile::Open(const std::filesystem::path& path) {
    if (fd_ >= 0)
        return ERROR_SUCCESS;
    fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd_ < 0) {
        return errno == EMFILE || errno == ENFILE ? ERROR_TOO_MANY_OPEN_FILES : ERROR_ACCESS_DENIED;
    }
    return ERROR_SUCCESS;
}

DWORD LockFile::LockShared(off_t byte) {
    auto deadline = std::chrono::steady_clock::now() + kSharedLockPatience;
    while (true) {
        int error = 0;
        if (TryLock(fd_, F_RDLCK, byte, 1, &error))
            return ERROR_SUCCESS;
        if (!IsConflict(error))
            return ERROR_ACCESS_DENIED;
        // A deletion or a sort-order change holds the byte for the length
        // of one transaction.
        if (std::chrono::steady_clock::now() > deadline)
            return ERROR_SHARING_VIOLATION;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

void LockFile::Unlock(off_t byte) {
    int error = 0;
    TryLock(fd_, F_UNLCK, byte, 1, &error);
}

// The process's shared locks on one device's lock file, counted per byte.
class SharedLocks {
public:
    std::filesystem::path path;
    LockFile file;
    std::map<off_t, int> holders;
};

namespace {

std::shared_ptr<SharedLocks>& CurrentSharedLocks() {
    static auto* current = new std::shared_ptr<SharedLocks>;
    return *current;
}

}  // namespace

HandleLock::~HandleLock() {
    if (!locks_)
        return;
    auto volumeLock = device::LockVolume();
    for (off_t byte : bytes_) {
        if (--locks_->holders[byte] == 0) {
            locks_->holders.erase(byte);
            locks_->file.Unlock(byte);
        }
    }
}

DWORD HandleLock::Acquire(CEOID oid, CEPROPID sortPropid) {
    if (oid > kMaxLockableOid)
        return ERROR_INVALID_PARAMETER;
    std::shared_ptr<SharedLocks>& current = CurrentSharedLocks();
    std::filesystem::path path = device::DeviceDirectory() / "objectstore.lock";
    if (!current || current->path != path) {
        auto fresh = std::make_shared<SharedLocks>();
        fresh->path = path;
        DWORD error = fresh->file.Open(path);
        if (error != ERROR_SUCCESS)
            return error;
        current = std::move(fresh);
    }
    locks_ = current;
    std::vector<off_t> wanted{DatabaseByte(oid)};
    if (sortPropid != 0)
        wanted.push_back(DatabaseByte(oid) + sortPropid);
    for (off_t byte : wanted) {
        int& holders = locks_->holders[byte];
        if (holders == 0) {
            DWORD error = locks_->file.LockShared(byte);
            if (error != ERROR_SUCCESS) {
                locks_->holders.erase(byte);
                return error;  // the destructor releases what was taken
            }
        }
        ++holders;
        bytes_.push_back(byte);
    }
    return ERROR_SUCCESS;
}

DWORD LockFile::LockDatabaseExclusive(CEOID oid) {
    if (oid > kMaxLockableOid)
        return ERROR_INVALID_PARAMETER;
    int error = 0;
    if (TryLock(fd_, F_WRLCK, DatabaseByte(oid), off_t{1} << 32, &error))
        return ERROR_SUCCESS;
    return IsConflict(error) ? ERROR_SHARING_VIOLATION : ERROR_ACCESS_DENIED;
}

DWORD LockFile::LockSortOrdersExclusive(CEOID oid, const std::vector<CEPROPID>& propids) {
    if (oid > kMaxLockableOid)
        return ERROR_INVALID_PARAMETER;
    for (CEPROPID propid : propids) {
        int error = 0;
        if (!TryLock(fd_, F_WRLCK, DatabaseByte(oid) + propid, 1, &error)) {
            TryLock(fd_, F_UNLCK, DatabaseByte(oid), off_t{1} << 32, &error);
            return IsConflict(error) ? ERROR_SHARING_VIOLATION : ERROR_ACCESS_DENIED;
        }
    }
    return ERROR_SUCCESS;
}

}  // namespace ce::objectstore
