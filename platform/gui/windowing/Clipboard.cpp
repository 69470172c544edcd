// The clipboard: formats by number with their bytes. The process keeps the
// contents; the backend is told of every change and asked, when the
// clipboard opens, whether the desktop holds something newer.

#include "platform/gui/Clipboard.h"

#include <cstring>
#include <map>

#include "platform/core/ErrorCodes.h"
#include "platform/core/LastError.h"
#include "platform/core/LocalMemory.h"
#include "platform/core/Text.h"
#include "platform/gui/Backend.h"
#include "platform/gui/windowing/WindowSystem.h"

namespace ce {
namespace {

constexpr UINT kFirstRegistered = 0xC000;
constexpr DWORD ERROR_CLIPBOARD_NOT_OPEN = 1418;

struct Clipboard {
    std::vector<std::u16string> names;  // registered formats from 0xC000
    std::map<UINT, std::vector<BYTE>> contents;
    std::vector<HLOCAL> handedOut;  // blocks GetClipboardData gave while open
    bool open = false;
    bool changed = false;
};

Clipboard& TheClipboard() {
    static Clipboard clipboard;
    return clipboard;
}

std::u16string Folded(std::u16string_view name) {
    std::u16string folded(name);
    for (char16_t& c : folded)
        c = ToLowerWide(c);
    return folded;
}

std::u16string NameOf(UINT format) {
    const Clipboard& clipboard = TheClipboard();
    if (format >= kFirstRegistered && format - kFirstRegistered < clipboard.names.size())
        return clipboard.names[format - kFirstRegistered];
    return {};
}

void Publish(Clipboard& clipboard) {
    std::vector<gui::ClipboardItem> items;
    for (const auto& [format, bytes] : clipboard.contents)
        items.push_back({format, NameOf(format), bytes});
    gui::CurrentBackend().ClipboardWritten(items);
}

void TakeDesktopContents(Clipboard& clipboard) {
    std::optional<std::vector<gui::ClipboardItem>> desktop = gui::CurrentBackend().ReadClipboard();
    if (!desktop)
        return;
    clipboard.contents.clear();
    for (gui::ClipboardItem& item : *desktop) {
        UINT format = item.name.empty() ? item.format : RegisterClipboardFormatW(item.name.c_str());
        if (format != 0)
            clipboard.contents[format] = std::move(item.bytes);
    }
}

bool CheckOpen() {
    if (TheClipboard().open)
        return true;
    SetLastError(ERROR_CLIPBOARD_NOT_OPEN);
    return false;
}

}  // namespace

UINT RegisterClipboardFormatW(LPCWSTR lpszFormat) {
    if (lpszFormat == nullptr || lpszFormat[0] == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    Clipboard& clipboard = TheClipboard();
    std::u16string wanted = Folded(WideView(lpszFormat));
    for (std::size_t i = 0; i < clipboard.names.size(); ++i) {
        if (Folded(clipboard.names[i]) == wanted)
            return kFirstRegistered + static_cast<UINT>(i);
    }
    if (clipboard.names.size() >= 0x3FFF) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return 0;
    }
    clipboard.names.emplace_back(WideView(lpszFormat));
    return kFirstRegistered + static_cast<UINT>(clipboard.names.size() - 1);
}

int GetClipboardFormatNameW(UINT format, LPWSTR lpszFormatName, int cchMaxCount) {
    std::u16string name = NameOf(format);
    if (name.empty() || lpszFormatName == nullptr || cchMaxCount <= 0)
        return 0;
    std::size_t n = std::min(name.size(), static_cast<std::size_t>(cchMaxCount - 1));
    std::memcpy(lpszFormatName, name.data(), n * sizeof(WCHAR));
    lpszFormatName[n] = 0;
    return static_cast<int>(n);
}

BOOL OpenClipboard(HWND) {
    Clipboard& clipboard = TheClipboard();
    if (clipboard.open) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    clipboard.open = true;
    clipboard.changed = false;
    TakeDesktopContents(clipboard);
    return TRUE;
}

BOOL CloseClipboard() {
    Clipboard& clipboard = TheClipboard();
    if (!CheckOpen())
        return FALSE;
    for (HLOCAL block : clipboard.handedOut)
        LocalFree(block);
    clipboard.handedOut.clear();
    clipboard.open = false;
    if (clipboard.changed)
        Publish(clipboard);
    clipboard.changed = false;
    return TRUE;
}

BOOL EmptyClipboard() {
    if (!CheckOpen())
        return FALSE;
    Clipboard& clipboard = TheClipboard();
    clipboard.contents.clear();
    clipboard.changed = true;
    return TRUE;
}

HANDLE SetClipboardData(UINT uFormat, HANDLE hMem) {
    if (!CheckOpen())
        return nullptr;
    if (hMem == nullptr || uFormat == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    Clipboard& clipboard = TheClipboard();
    auto* block = reinterpret_cast<HLOCAL>(hMem);
    const auto* bytes = static_cast<const BYTE*>(block);
    clipboard.contents[uFormat].assign(bytes, bytes + LocalSize(block));
    LocalFree(block);
    clipboard.changed = true;
    return hMem;
}

HANDLE GetClipboardData(UINT uFormat) {
    if (!CheckOpen())
        return nullptr;
    Clipboard& clipboard = TheClipboard();
    auto it = clipboard.contents.find(uFormat);
    if (it == clipboard.contents.end()) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return nullptr;
    }
    HLOCAL block = LocalAlloc(LMEM_FIXED, it->second.size());
    if (block == nullptr)
        return nullptr;
    if (!it->second.empty())
        std::memcpy(block, it->second.data(), it->second.size());
    clipboard.handedOut.push_back(block);
    return reinterpret_cast<HANDLE>(block);
}

BOOL IsClipboardFormatAvailable(UINT format) {
    Clipboard& clipboard = TheClipboard();
    if (!clipboard.open)
        TakeDesktopContents(clipboard);
    return clipboard.contents.count(format) != 0 ? TRUE : FALSE;
}

}  // namespace ce

namespace ce::gui {

void ResetClipboard() {
    Clipboard& clipboard = TheClipboard();
    for (HLOCAL block : clipboard.handedOut)
        LocalFree(block);
    clipboard.handedOut.clear();
    clipboard.contents.clear();
    clipboard.open = false;
    clipboard.changed = false;
}

}  // namespace ce::gui
