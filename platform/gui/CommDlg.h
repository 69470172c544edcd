#pragma once
// The open and save file dialogs. The backend shows them (a real dialog, or
// the scripted user's answer in tests; none in unattended runs).

#include "platform/gui/WinTypes.h"

namespace ce {

inline constexpr DWORD OFN_READONLY = 0x00000001;
inline constexpr DWORD OFN_OVERWRITEPROMPT = 0x00000002;
inline constexpr DWORD OFN_HIDEREADONLY = 0x00000004;
inline constexpr DWORD OFN_NOCHANGEDIR = 0x00000008;
inline constexpr DWORD OFN_PATHMUSTEXIST = 0x00000800;
inline constexpr DWORD OFN_FILEMUSTEXIST = 0x00001000;

struct OPENFILENAMEW {
    DWORD lStructSize;
    HWND hwndOwner;
    HINSTANCE hInstance;
    // Pairs of zero-terminated description and pattern ("*.bkp" or
    // "*.a;*.b"), ended by an empty text.
    LPCWSTR lpstrFilter;
    LPWSTR lpstrCustomFilter;
    DWORD nMaxCustFilter;
    DWORD nFilterIndex;
    // In: the initial name; out: the chosen path (nMaxFile units with the terminator).
    LPWSTR lpstrFile;
    DWORD nMaxFile;
    LPWSTR lpstrFileTitle;
    DWORD nMaxFileTitle;
    LPCWSTR lpstrInitialDir;
    LPCWSTR lpstrTitle;
    DWORD Flags;
    WORD nFileOffset;
    WORD nFileExtension;
    // Appended (without its dot) to a chosen name that has no extension.
    LPCWSTR lpstrDefExt;
    LPARAM lCustData;
    void* lpfnHook;
    LPCWSTR lpTemplateName;
};

// TRUE when the user chose a file; FALSE on cancel (lpstrFile unchanged)
// or when the chosen path does not fit nMaxFile (CommDlgExtendedError then
// says FNERR_BUFFERTOOSMALL).
BOOL GetOpenFileNameW(OPENFILENAMEW* lpofn);
BOOL GetSaveFileNameW(OPENFILENAMEW* lpofn);

inline constexpr DWORD FNERR_BUFFERTOOSMALL = 0x3003;
inline constexpr DWORD CDERR_STRUCTSIZE = 0x0001;
DWORD CommDlgExtendedError();

}  // namespace ce
