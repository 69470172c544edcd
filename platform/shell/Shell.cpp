#include "platform/shell/Shell.h"

#include <sys/statvfs.h>
#include <atomic>
#include <string>
#include <system_error>

#include "platform/core/ErrorCodes.h"
#include "platform/core/LastError.h"
#include "platform/core/Text.h"
#include "platform/device/DeviceDirectory.h"
#include "platform/gui/Backend.h"

namespace ce {

struct ITEMIDLIST {
    std::u16string path;
};

namespace {

std::atomic<bool> failLocation{false};
std::atomic<bool> failPath{false};

std::u16string& Caption() {
    static std::u16string* caption = new std::u16string(u"Tessaly");
    return *caption;
}

class ShellAllocator : public IMalloc {
public:
    void Free(void* block) override { delete static_cast<ITEMIDLIST*>(block); }
    ULONG Release() override { return 1; }
};

DWORD Cap(std::uintmax_t v) {
    return v > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<DWORD>(v);
}

}  // namespace

void SetSpecialFolderFailureForTests(bool location, bool path) {
    failLocation = location;
    failPath = path;
}

HRESULT SHGetSpecialFolderLocation(HWND, int nFolder, LPITEMIDLIST* ppidl) {
    if (ppidl == nullptr)
        return E_INVALIDARG;
    *ppidl = nullptr;
    if (failLocation)
        return E_FAIL;
    const char16_t* path = nullptr;
    switch (nFolder) {
        case CSIDL_PERSONAL:
            path = u"\\My Documents";
            break;
        case CSIDL_WINDOWS:
            path = u"\\windows";
            break;
        default:
            return E_INVALIDARG;
    }
    *ppidl = new ITEMIDLIST{path};
    return S_OK;
}

BOOL SHGetPathFromIDList(LPCITEMIDLIST pidl, LPWSTR pszPath) {
    if (pidl == nullptr || pszPath == nullptr || failPath) {
        if (pszPath != nullptr)
            pszPath[0] = 0;
        return FALSE;
    }
    CopyWide(pszPath, MAX_PATH, pidl->path);
    return TRUE;
}

HRESULT SHGetMalloc(IMalloc** ppMalloc) {
    static ShellAllocator allocator;
    if (ppMalloc == nullptr)
        return E_INVALIDARG;
    *ppMalloc = &allocator;
    return S_OK;
}

BOOL GetStoreSpace(StoreSpace* space) {
    if (space == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::error_code ec;
    std::uintmax_t size = 0;
    for (const char* suffix : {"", "-wal"}) {
        std::filesystem::path p = device::VolumePath();
        p += suffix;
        std::uintmax_t n = std::filesystem::file_size(p, ec);
        if (!ec)
            size += n;
    }
    struct statvfs fs;
    if (::statvfs(device::DeviceDirectory().c_str(), &fs) != 0) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return FALSE;
    }
    // The system keeps the last 24 KB for itself.
    std::uint64_t free = static_cast<std::uint64_t>(fs.f_bavail) * fs.f_frsize;
    free = free > 24 * 1024 ? free - 24 * 1024 : 0;
    space->freeSize = free;
    space->storeSize = size + free;
    return TRUE;
}

BOOL GetStoreInformation(STORE_INFORMATION* info) {
    if (info == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    StoreSpace space;
    if (!GetStoreSpace(&space))
        return FALSE;
    info->dwStoreSize = Cap(space.storeSize);
    info->dwFreeSize = Cap(space.freeSize);
    return TRUE;
}

void SetShellMessageCaption(const WCHAR* caption) {
    Caption() = WideView(caption);
}

void SHShowOutOfMemory(HWND hwnd, UINT) {
    gui::MessageBoxRequest request;
    request.owner = hwnd;
    request.caption = Caption();
    request.text =
        u"There is not enough memory to complete this operation. Close some programs "
        u"or delete some files, and try again.";
    request.style = MB_OK | MB_ICONEXCLAMATION;
    request.stringId = kOutOfMemoryMessageId;
    gui::ShowMessageBox(request);
}

}  // namespace ce
