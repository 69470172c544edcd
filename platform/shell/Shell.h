#pragma once
// Shell services the system relies on: special folders, the object store's
// size and free space, and the standard out-of-memory message.

#include <cstdint>

#include "platform/core/Types.h"
#include "platform/gui/WinTypes.h"

namespace ce {

inline constexpr HRESULT S_OK = 0;
inline constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005);
inline constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057);
inline constexpr HRESULT E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000E);

inline constexpr int CSIDL_PERSONAL = 0x0005;
inline constexpr int CSIDL_WINDOWS = 0x0024;

struct ITEMIDLIST;
using LPITEMIDLIST = ITEMIDLIST*;
using LPCITEMIDLIST = const ITEMIDLIST*;

// The shell's allocator, which frees what the shell hands out.
class IMalloc {
public:
    virtual void Free(void* block) = 0;
    virtual ULONG Release() = 0;

protected:
    virtual ~IMalloc() = default;
};

HRESULT SHGetSpecialFolderLocation(HWND hwndOwner, int nFolder, LPITEMIDLIST* ppidl);
BOOL SHGetPathFromIDList(LPCITEMIDLIST pidl, LPWSTR pszPath);
HRESULT SHGetMalloc(IMalloc** ppMalloc);

// Makes the special-folder calls fail in this process (tests): the location,
// the path, or neither.
void SetSpecialFolderFailureForTests(bool failLocation, bool failPath);

struct STORE_INFORMATION {
    DWORD dwStoreSize;
    DWORD dwFreeSize;
};

// The store's size and free space in bytes, in 64 bits: the free space of
// the file system that holds the volume (less what the system keeps), and
// the size the store can reach, that space plus what the volume already
// holds; the free space never exceeds the size.
struct StoreSpace {
    std::uint64_t storeSize = 0;
    std::uint64_t freeSize = 0;
};
BOOL GetStoreSpace(StoreSpace* space);

// The same figures in 32 bits, each capped at 4 GB - 1.
BOOL GetStoreInformation(STORE_INFORMATION* lpsi);

// The string id under which a scripted user sees the out-of-memory message.
inline constexpr UINT kOutOfMemoryMessageId = 0xFFFF0001;

// The platform's standard out-of-memory message box, owned by `hwnd`.
void SHShowOutOfMemory(HWND hwnd, UINT grfFlags);

// The caption of platform message boxes (the program's name).
void SetShellMessageCaption(const WCHAR* caption);

}  // namespace ce
