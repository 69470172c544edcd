#pragma once
// The clipboard with the platform's calls: formats by number (CF_UNICODETEXT
// and formats registered by name), blocks from the local heap handed over
// with SetClipboardData. The backend may carry the contents to the desktop's
// clipboard (the Qt backend does, so that two programs share it); without
// that the clipboard lives in the process.

#include <optional>
#include <string>
#include <vector>

#include "platform/gui/WinTypes.h"

namespace ce {

inline constexpr UINT CF_UNICODETEXT = 13;

// Numbers from 0xC000 up, the same for the same name (case-insensitive)
// within the process; 0 for an empty name.
UINT RegisterClipboardFormatW(LPCWSTR lpszFormat);
// The name of a registered format; 0 when the format is not one.
int GetClipboardFormatNameW(UINT format, LPWSTR lpszFormatName, int cchMaxCount);

// Fails while the clipboard is open already.
BOOL OpenClipboard(HWND hWndNewOwner);
BOOL CloseClipboard();
// Only while open.
BOOL EmptyClipboard();
// Takes a block from LocalAlloc, which then belongs to the clipboard.
// Returns the block, or nullptr (the caller keeps the block) on failure.
HANDLE SetClipboardData(UINT uFormat, HANDLE hMem);
// A block the clipboard owns, valid until the clipboard is closed; nullptr
// when the format is not on it. Only while open.
HANDLE GetClipboardData(UINT uFormat);
BOOL IsClipboardFormatAvailable(UINT format);

}  // namespace ce

namespace ce::gui {

// One format on the clipboard as the backend carries it: the registered name
// (empty for CF_UNICODETEXT) and the bytes.
struct ClipboardItem {
    UINT format = 0;
    std::u16string name;
    std::vector<BYTE> bytes;
};

}  // namespace ce::gui
