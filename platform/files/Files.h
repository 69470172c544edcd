#pragma once
// File calls over device paths ("\My Documents\a.bkp", under the device's
// files/ folder) and host paths (used as given). Errors are the platform's
// codes, mapped from errno.

#include <cstdint>
#include <optional>
#include <string>

#include "platform/core/Handles.h"
#include "platform/core/Types.h"

namespace ce {

inline constexpr DWORD GENERIC_READ = 0x80000000;
inline constexpr DWORD GENERIC_WRITE = 0x40000000;
inline constexpr DWORD FILE_SHARE_READ = 0x00000001;
inline constexpr DWORD FILE_SHARE_WRITE = 0x00000002;
inline constexpr DWORD CREATE_NEW = 1;
inline constexpr DWORD CREATE_ALWAYS = 2;
inline constexpr DWORD OPEN_EXISTING = 3;
inline constexpr DWORD OPEN_ALWAYS = 4;
inline constexpr DWORD TRUNCATE_EXISTING = 5;
inline constexpr DWORD FILE_ATTRIBUTE_READONLY = 0x00000001;
inline constexpr DWORD FILE_ATTRIBUTE_DIRECTORY = 0x00000010;
inline constexpr DWORD FILE_ATTRIBUTE_NORMAL = 0x00000080;
inline constexpr DWORD INVALID_FILE_ATTRIBUTES = 0xFFFFFFFF;
inline constexpr DWORD FILE_BEGIN = 0;
inline constexpr DWORD FILE_CURRENT = 1;
inline constexpr DWORD FILE_END = 2;
inline constexpr DWORD INVALID_SET_FILE_POINTER = 0xFFFFFFFF;
inline constexpr DWORD INVALID_FILE_SIZE = 0xFFFFFFFF;

HANDLE CreateFileW(LPCWSTR lpFileName, DWORD dwDesiredAccess, DWORD dwShareMode,
                   void* lpSecurityAttributes, DWORD dwCreationDisposition,
                   DWORD dwFlagsAndAttributes, HANDLE hTemplateFile);
// Success means the call worked; *read may be less than asked at the end.
BOOL ReadFile(HANDLE hFile, void* lpBuffer, DWORD nNumberOfBytesToRead, LPDWORD lpNumberOfBytesRead,
              void* lpOverlapped);
BOOL WriteFile(HANDLE hFile, const void* lpBuffer, DWORD nNumberOfBytesToWrite,
               LPDWORD lpNumberOfBytesWritten, void* lpOverlapped);
DWORD SetFilePointer(HANDLE hFile, LONG lDistanceToMove, LONG* lpDistanceToMoveHigh,
                     DWORD dwMoveMethod);
DWORD GetFileSize(HANDLE hFile, LPDWORD lpFileSizeHigh);
BOOL SetEndOfFile(HANDLE hFile);
BOOL DeleteFileW(LPCWSTR lpFileName);
// Renames a file; with MOVEFILE_REPLACE_EXISTING an existing target is
// replaced in one step.
inline constexpr DWORD MOVEFILE_REPLACE_EXISTING = 0x00000001;
BOOL MoveFileExW(LPCWSTR lpExistingFileName, LPCWSTR lpNewFileName, DWORD dwFlags);
DWORD GetFileAttributesW(LPCWSTR lpFileName);
BOOL CreateDirectoryW(LPCWSTR lpPathName, void* lpSecurityAttributes);

// Maps an errno value to the platform's error code.
DWORD ErrorFromErrno(int error);

// ---- Failing device, for tests -------------------------------------------
//
// After `bytes` more bytes have been written to files whose host path
// contains `pathPart` (every file when empty), writes fail with
// ERROR_DISK_FULL: a write that crosses the limit stores what fits and
// fails. The environment variables TESSALY_FAIL_WRITES_AFTER and
// TESSALY_FAIL_WRITES_PATH set the same for a whole process.
void SetWriteFailure(std::uint64_t bytes, std::string pathPart = {});
void ClearWriteFailure();

}  // namespace ce
